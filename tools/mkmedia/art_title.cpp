// "lumenfall": glowing letters with soft beams of light falling from their stems. Shown over 300 x
// 100 units; the texture's pixels are not square on screen, so everything is laid out in those
// units.
#include "art.h"

#include "det_math.h"
#include "glow_text.h"
#include "noise.h"
#include "paint.h"
#include "stroke_field.h"

#include <algorithm>
#include <cmath>

namespace mkmedia {
namespace {

constexpr int TITLE_WIDTH = 512;
constexpr int TITLE_HEIGHT = 128;
constexpr double TITLE_UNITS_X = 300.0;
constexpr double TITLE_UNITS_Y = 100.0;
// The show draws two copies of the title on top of each other at full brightness, so the
// picture carries a little over half the light it should show.
constexpr double TITLE_GAIN = 0.56;

struct Streak {
    double x;      // picture units
    double top;    // where it leaves the letter
    double length; // how far it falls
    double jitter; // 0..1, varies its strength
};

// Every stroke end that rests on the baseline lets light fall from it; lengths vary so the
// drips do not look ruled.
std::vector<Streak> FindStreaks(const std::vector<Segment>& segments, double baseline) {
    std::vector<Streak> streaks;
    uint32_t n = 0;
    for (const Segment& s : segments) {
        for (Point2 p : {s.a, s.b}) {
            bool vertical = std::fabs(s.a.x - s.b.x) < 1e-6 && std::fabs(s.a.y - s.b.y) > 1.0;
            if (vertical && std::fabs(p.y - baseline) < 1e-6) {
                double length = 22.0 + 16.0 * LatticeValue(static_cast<int>(n), 7, 0x7171u);
                double jitter = LatticeValue(static_cast<int>(n), 9, 0x7171u);
                ++n;
                streaks.push_back({p.x, baseline, length, jitter});
            }
        }
    }
    return streaks;
}

} // namespace

RgbImage PaintTitle() {
    RgbImage image(TITLE_WIDTH, TITLE_HEIGHT);
    PixelGrid grid{TITLE_UNITS_X / TITLE_WIDTH, TITLE_UNITS_Y / TITLE_HEIGHT, 3};

    const char* text = "lumenfall";
    TextPlacement place;
    place.scale = 4.9;
    place.tracking = 2.6;
    double width = TextWidth(text, place.tracking) * place.scale;
    place.left = (TITLE_UNITS_X - width) / 2.0;
    place.baseline = 60.0;
    const double top = place.baseline - FONT_ASCENT * place.scale;

    GlowStyle style;
    style.pen = 0.42 * place.scale;
    style.coreTop = {1.0, 1.0, 1.0};
    style.coreBottom = {0.62, 0.86, 1.0};
    style.near = Rgb{0.30, 0.62, 1.0} * 0.5;
    style.nearReach = 6.0;
    style.far = Rgb{0.12, 0.22, 0.75} * 0.34;
    style.farReach = 20.0;

    std::vector<Segment> segments = LayOutText(text, place);
    std::vector<Streak> streaks = FindStreaks(segments, place.baseline);
    SegmentField field(segments, style.farReach + style.pen);

    // A glint where the f's hook ends, with a long horizontal streak that dies out well inside
    // the picture's edges (the quad's edges must stay black).
    const Point2 glint{place.left + (TextWidth("lumen", place.tracking) + place.tracking + 3.93) *
                                        place.scale,
                       place.baseline - 7.63 * place.scale};
    const double streakReach = std::min(glint.x, TITLE_UNITS_X - glint.x) - 8.0;

    const double footprint = grid.Footprint();
    PaintAdd(image, grid, 0, 0, TITLE_WIDTH, TITLE_HEIGHT, [&](double u, double v) {
        Rgb c =
            ShadeGlow(style, field.Distance(u, v), footprint, (v - top) / (place.baseline - top));
        double gx = std::fabs(u - glint.x);
        double gy = std::fabs(v - glint.y);
        double gr = Sqrt(gx * gx + gy * gy);
        double star = Falloff(gr, 6.0) + 0.3 * Falloff(gr, 14.0) +
                      0.8 * Falloff(gy, 1.2) * Falloff(gx, 40.0) +
                      0.6 * Falloff(gx, 1.2) * Falloff(gy, 16.0);
        double streak = 0.5 * Falloff(gy, 1.6) * Falloff(gx, streakReach);
        c = c + Rgb{1.0, 1.0, 1.0} * star + Rgb{0.45, 0.7, 1.0} * streak;
        for (const Streak& s : streaks) {
            double fall = (v - s.top) / s.length;
            if (fall <= 0.0 || fall >= 1.0) {
                continue;
            }
            // A soft beam that widens and fades as it falls.
            double dx = std::fabs(u - s.x);
            double fade = (1.0 - fall) * Smoothstep(0.0, 0.1, fall);
            double beam = Falloff(dx, 2.5 + 6.0 * fall) * fade;
            double spine = Falloff(dx, 1.3) * fade * (1.0 - fall);
            c = c + Rgb{0.25, 0.5, 1.0} * (0.4 * beam * (0.6 + 0.4 * s.jitter)) +
                Rgb{0.7, 0.88, 1.0} * (0.6 * spine);
        }
        return c * TITLE_GAIN;
    });
    return image;
}

} // namespace mkmedia
