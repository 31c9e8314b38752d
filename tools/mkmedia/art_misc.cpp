// misc.bmp holds two things. Its top 11 % is a band that the show repeats side by side and
// scrolls: a line of names between two hairlines, laid out so that the right edge runs on into
// the left one. From 20 % down is a backdrop for the whole screen: soft shafts of light falling
// from above, fading to black at every edge (the texture wraps, so the edges meet the band and
// each other under the filter). The rows between are never shown and stay black.
#include "art.h"

#include "det_math.h"
#include "glow_text.h"
#include "noise.h"
#include "paint.h"
#include "stroke_field.h"

#include <cmath>

namespace mkmedia {
namespace {

constexpr int MISC_SIZE = 512;
// The band is shown 285 units wide per repeat and 30 units high; the backdrop 920 x 500.
constexpr double BAND_UNITS_X = 285.0;
constexpr double BAND_UNITS_Y = 30.0;
constexpr double BAND_SHARE = 0.11;
constexpr double BACKDROP_UNITS_X = 920.0;
constexpr double BACKDROP_UNITS_Y = 500.0;
constexpr double BACKDROP_START = 0.2;

void PaintBand(RgbImage& image) {
    const double bandRows = BAND_SHARE * MISC_SIZE;
    PixelGrid grid{BAND_UNITS_X / MISC_SIZE, BAND_UNITS_Y / bandRows, 3};

    // Names separated by dots, spaced so that one repeat holds them with the same gap after the
    // last as between the others; the seam falls in the middle of that gap, on black.
    const char* text = "lumenfall  .  tamsivor  .  northmoot  .";
    const char* gap = "  ";
    TextPlacement place;
    place.tracking = 1.7;
    const double ink = TextWidth(text, place.tracking);
    const double space = TextWidth(gap, place.tracking) + 2.0 * place.tracking;
    place.scale = BAND_UNITS_X / (ink + space);
    place.left = space * place.scale / 2.0;
    place.baseline = 20.5;

    GlowStyle style;
    style.pen = 0.5 * place.scale;
    style.coreTop = {1.0, 1.0, 1.0};
    style.coreBottom = {0.75, 0.9, 1.0};
    style.near = Rgb{0.35, 0.6, 1.0} * 0.55;
    style.nearReach = 2.5;
    style.far = Rgb{0.15, 0.25, 0.8} * 0.3;
    style.farReach = 6.0;
    SegmentField field(LayOutText(text, place), style.farReach + style.pen);
    const double top = place.baseline - FONT_ASCENT * place.scale;

    const double footprint = grid.Footprint();
    const int lastRow = static_cast<int>(bandRows); // rows 0..lastRow-1 are shown
    PaintAdd(image, grid, 0, 1, MISC_SIZE, lastRow - 1, [&](double u, double v) {
        // Distance to the text as if the band were repeated on both sides.
        double d = std::min({field.Distance(u, v), field.Distance(u - BAND_UNITS_X, v),
                             field.Distance(u + BAND_UNITS_X, v)});
        Rgb c = ShadeGlow(style, d, footprint, (v - top) / (place.baseline - top));
        // Hairlines above and below, brightening in slow even waves along the band (a whole
        // number of waves per repeat, so they too run on).
        double wave = 0.55 + 0.45 * Cos(MKM_TWO_PI * 3.0 * u / BAND_UNITS_X);
        for (double line : {3.2, 26.8}) {
            double dl = std::fabs(v - line);
            c = c + Rgb{0.55, 0.75, 1.0} * (0.8 * wave * StrokeCoverage(dl, 0.45, footprint)) +
                Rgb{0.15, 0.3, 0.9} * (0.3 * wave * Falloff(dl, 2.5));
        }
        return c;
    });
}

void PaintBackdrop(RgbImage& image) {
    const double firstRow = BACKDROP_START * MISC_SIZE;
    PixelGrid grid{BACKDROP_UNITS_X / MISC_SIZE, BACKDROP_UNITS_Y / (MISC_SIZE - firstRow), 2};
    grid.originPixelY = firstRow;

    // Shafts fan out from a point above the top edge.
    const double sourceX = BACKDROP_UNITS_X * 0.46;
    const double sourceY = -260.0;
    PaintAdd(
        image, grid, 0, static_cast<int>(firstRow), MISC_SIZE, MISC_SIZE, [&](double u, double v) {
            double angle = Atan2(u - sourceX, v - sourceY); // 0 straight down
            double reach = Sqrt((u - sourceX) * (u - sourceX) + (v - sourceY) * (v - sourceY));
            // Shafts: noise along the angle only, sharpened, so light comes in streaks.
            double a = angle * 9.0 + 40.0;
            double shafts = PeriodicFbm(a, 0.5, 64, 3, 0xB1u);
            shafts = Smoothstep(0.38, 0.78, shafts);
            // Haze that drifts across the shafts.
            double haze = PeriodicFbm(u / 90.0, v / 70.0, 16, 4, 0xC3u);
            double fallOff = Clamp01(1.0 - (reach - 260.0) / 700.0);
            double spread = Falloff(std::fabs(angle), 1.1);
            double light = (0.25 + 0.75 * shafts) * (0.45 + 0.55 * haze) * fallOff * spread;
            // Black at every edge: the top meets unused rows, the sides wrap onto each
            // other, the bottom wraps onto the band.
            double edge = Smoothstep(0.0, 60.0, u) * Smoothstep(0.0, 60.0, BACKDROP_UNITS_X - u) *
                          Smoothstep(0.0, 40.0, v) * Smoothstep(0.0, 70.0, BACKDROP_UNITS_Y - v);
            Rgb deep{0.10, 0.18, 0.62};
            Rgb bright{0.55, 0.8, 1.0};
            Rgb colour = deep * (1.0 - light) + bright * light;
            return colour * (light * 1.25 * edge);
        });
}

} // namespace

RgbImage PaintMisc() {
    RgbImage image(MISC_SIZE, MISC_SIZE);
    PaintBand(image);
    PaintBackdrop(image);
    return image;
}

} // namespace mkmedia
