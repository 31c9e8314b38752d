// A monoline stroke font drawn from straight lines and elliptic arcs, so that text in the
// pictures is our own and scales to any size. Glyphs sit on a baseline at y = 0 with y pointing
// up: x-height 5, ascenders 8, descenders -3 (font units). Lower-case letters, digits, space and
// a few marks are defined; the pictures only speak lower case.
#pragma once

#include <string_view>
#include <vector>

namespace mkmedia {

struct Point2 {
    double x = 0.0;
    double y = 0.0;
};

// One straight piece of a stroke; a dot is a segment whose ends coincide.
struct Segment {
    Point2 a;
    Point2 b;
};

constexpr double FONT_X_HEIGHT = 5.0;
constexpr double FONT_ASCENT = 8.0;
constexpr double FONT_DESCENT = 3.0;

bool HasGlyph(char c);

// Distance from the left edge of the first glyph to the right edge of the last, in font units,
// with `tracking` font units added between neighbouring glyphs. Pen width is not included.
double TextWidth(std::string_view text, double tracking);

// Where and how large text goes in a picture whose y axis points down: the baseline's left end
// at (left, baseline), `scale` picture units per font unit, `slant` shears x by that much per
// font unit of height (italic).
struct TextPlacement {
    double left = 0.0;
    double baseline = 0.0;
    double scale = 1.0;
    double tracking = 1.8;
    double slant = 0.0;
};

// The strokes of `text` as segments in picture units. Characters without a glyph are skipped
// like a space.
std::vector<Segment> LayOutText(std::string_view text, const TextPlacement& placement);

} // namespace mkmedia
