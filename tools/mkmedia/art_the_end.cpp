// the_end.bmp: "the end" over the upper 80 % (shown 260 x 135 units) and the credits in two
// short lines over the lower 20 % (shown 260 x 37 units). The filter blends neighbouring rows
// where the parts meet and where the texture wraps, so a few black rows separate them.
#include "art.h"

#include "det_math.h"
#include "glow_text.h"
#include "paint.h"
#include "stroke_field.h"

#include <cmath>

namespace mkmedia {
namespace {

constexpr int END_WIDTH = 512;
constexpr int END_HEIGHT = 256;
constexpr double END_UPPER_SHARE = 0.8;
constexpr double END_UNITS_X = 260.0;
constexpr double END_UPPER_UNITS_Y = 135.0;
constexpr double END_LOWER_UNITS_Y = 37.0;

void PaintCentredLine(RgbImage& image, const PixelGrid& grid, int row0, int row1, const char* text,
                      double baseline, double scale, double tracking, const GlowStyle& style) {
    TextPlacement place;
    place.scale = scale;
    place.tracking = tracking;
    place.left = (END_UNITS_X - TextWidth(text, tracking) * scale) / 2.0;
    place.baseline = baseline;
    SegmentField field(LayOutText(text, place), style.farReach + style.pen);
    const double top = baseline - FONT_ASCENT * scale;
    const double footprint = grid.Footprint();
    PaintAdd(image, grid, 0, row0, END_WIDTH, row1, [&](double u, double v) {
        return ShadeGlow(style, field.Distance(u, v), footprint, (v - top) / (baseline - top));
    });
}

} // namespace

RgbImage PaintTheEnd() {
    RgbImage image(END_WIDTH, END_HEIGHT);
    const double split = END_UPPER_SHARE * END_HEIGHT;

    PixelGrid upper{END_UNITS_X / END_WIDTH, END_UPPER_UNITS_Y / split, 3};
    GlowStyle big;
    big.pen = 2.2;
    big.coreTop = {1.0, 1.0, 1.0};
    big.coreBottom = {0.62, 0.86, 1.0};
    big.near = Rgb{0.30, 0.62, 1.0} * 0.7;
    big.nearReach = 5.0;
    big.far = Rgb{0.12, 0.22, 0.75} * 0.4;
    big.farReach = 16.0;
    const double baseline = 86.0;
    const double scale = 4.6;
    const double tracking = 2.8;
    PaintCentredLine(image, upper, 2, static_cast<int>(split) - 2, "the end", baseline, scale,
                     tracking, big);
    // A glint on the top of the d and a rule of light under the words; both die out well inside
    // the picture's edges.
    const double left = (END_UNITS_X - TextWidth("the end", tracking) * scale) / 2.0;
    const Point2 glint{left + (TextWidth("the en", tracking) + tracking + 5.0) * scale,
                       baseline - FONT_ASCENT * scale};
    const double rule = baseline + 22.0;
    PaintAdd(image, upper, 0, 2, END_WIDTH, static_cast<int>(split) - 2, [&](double u, double v) {
        double gx = std::fabs(u - glint.x);
        double gy = std::fabs(v - glint.y);
        double gr = Sqrt(gx * gx + gy * gy);
        double star = 0.9 * Falloff(gr, 5.0) + 0.25 * Falloff(gr, 12.0) +
                      0.7 * Falloff(gy, 1.0) * Falloff(gx, 17.0) +
                      0.6 * Falloff(gx, 1.0) * Falloff(gy, 17.0);
        double dr = std::fabs(v - rule);
        double along = Falloff(std::fabs(u - END_UNITS_X / 2.0), 115.0);
        double line =
            along * (0.8 * StrokeCoverage(dr, 0.5, upper.Footprint()) + 0.35 * Falloff(dr, 3.0));
        return Rgb{1.0, 1.0, 1.0} * star + Rgb{0.45, 0.7, 1.0} * line;
    });

    PixelGrid lower{END_UNITS_X / END_WIDTH, END_LOWER_UNITS_Y / (END_HEIGHT - split), 4};
    lower.originPixelY = split;
    GlowStyle small;
    small.pen = 0.85;
    small.coreTop = {0.95, 0.97, 1.0};
    small.coreBottom = {0.72, 0.86, 1.0};
    small.near = Rgb{0.25, 0.5, 1.0} * 0.45;
    small.nearReach = 2.0;
    small.far = Rgb{0.1, 0.2, 0.6} * 0.2;
    small.farReach = 4.0;
    const int row0 = static_cast<int>(split) + 2;
    PaintCentredLine(image, lower, row0, END_HEIGHT - 1, "lumenfall by tamsivor", 14.5, 1.3, 1.9,
                     small);
    PaintCentredLine(image, lower, row0, END_HEIGHT - 1, "released at northmoot", 31.0, 1.3, 1.9,
                     small);
    return image;
}

} // namespace mkmedia
