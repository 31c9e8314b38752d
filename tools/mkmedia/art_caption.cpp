// "no sound in this party version": one line under the title, shown over 300 x 20 units.
#include "art.h"

#include "glow_text.h"
#include "paint.h"
#include "stroke_field.h"

namespace mkmedia {
namespace {

constexpr int CAPTION_WIDTH = 512;
constexpr int CAPTION_HEIGHT = 32;
constexpr double CAPTION_UNITS_X = 300.0;
constexpr double CAPTION_UNITS_Y = 20.0;

} // namespace

RgbImage PaintCaption() {
    RgbImage image(CAPTION_WIDTH, CAPTION_HEIGHT);
    PixelGrid grid{CAPTION_UNITS_X / CAPTION_WIDTH, CAPTION_UNITS_Y / CAPTION_HEIGHT, 4};

    const char* text = "no sound in this party version";
    TextPlacement place;
    place.scale = 1.28;
    place.tracking = 2.0;
    double width = TextWidth(text, place.tracking) * place.scale;
    place.left = (CAPTION_UNITS_X - width) / 2.0;
    place.baseline = 13.2;

    GlowStyle style;
    style.pen = 0.63 * place.scale;
    style.coreTop = {0.95, 0.97, 1.0};
    style.coreBottom = {0.7, 0.85, 1.0};
    style.near = Rgb{0.25, 0.5, 1.0} * 0.45;
    style.nearReach = 1.8;
    style.far = Rgb{0.1, 0.2, 0.6} * 0.2;
    style.farReach = 2.2;
    SegmentField field(LayOutText(text, place), style.farReach + style.pen);
    const double top = place.baseline - FONT_X_HEIGHT * place.scale;

    const double footprint = grid.Footprint();
    PaintAdd(image, grid, 0, 0, CAPTION_WIDTH, CAPTION_HEIGHT, [&](double u, double v) {
        return ShadeGlow(style, field.Distance(u, v), footprint,
                         (v - top) / (place.baseline - top));
    });
    return image;
}

} // namespace mkmedia
