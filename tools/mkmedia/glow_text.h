// The look shared by all lettering in the show: a bright anti-aliased core stroke, a tight
// coloured halo and a wide faint one, all light on black.
#pragma once

#include "image.h"

namespace mkmedia {

struct GlowStyle {
    double pen = 1.0; // stroke radius, picture units
    Rgb coreTop{1.0, 1.0, 1.0};
    Rgb coreBottom{1.0, 1.0, 1.0};
    Rgb near{0.3, 0.6, 1.0};
    double nearReach = 4.0;
    Rgb far{0.1, 0.2, 0.7};
    double farReach = 12.0;
};

// Colour at distance d from the nearest stroke centre line; `height` runs 0 at the top of the
// letters to 1 at their baseline and blends the core colours.
Rgb ShadeGlow(const GlowStyle& style, double d, double footprint, double height);

} // namespace mkmedia
