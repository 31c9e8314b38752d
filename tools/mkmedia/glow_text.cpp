#include "glow_text.h"

#include "det_math.h"
#include "paint.h"

namespace mkmedia {

Rgb ShadeGlow(const GlowStyle& style, double d, double footprint, double height) {
    double core = StrokeCoverage(d, style.pen, footprint);
    double h = Clamp01(height);
    Rgb coreColour = style.coreTop * (1.0 - h) + style.coreBottom * h;
    double outside = d - style.pen;
    Rgb halo = style.near * Falloff(outside, style.nearReach) +
               style.far * Falloff(outside, style.farReach);
    return coreColour * core + halo * (1.0 - core);
}

} // namespace mkmedia
