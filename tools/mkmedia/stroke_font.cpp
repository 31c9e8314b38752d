#include "stroke_font.h"

#include "det_math.h"

#include <array>

namespace mkmedia {
namespace {

using Polyline = std::vector<Point2>;

struct Glyph {
    double width = 0.0;
    std::vector<Polyline> strokes;
};

// Builds one glyph stroke by stroke. Arcs are flattened here, at a fixed step, so the segment
// lists are the same on every machine.
class GlyphBuilder {
public:
    explicit GlyphBuilder(double width) { glyph_.width = width; }

    GlyphBuilder& Move(double x, double y) {
        glyph_.strokes.push_back({{x, y}});
        return *this;
    }
    GlyphBuilder& Line(double x, double y) {
        glyph_.strokes.back().push_back({x, y});
        return *this;
    }
    // Elliptic arc about (cx, cy) from angle a0 to a1 in degrees, counter-clockwise when a1 > a0.
    // Starts a new stroke unless the current one ends where the arc begins.
    GlyphBuilder& Arc(double cx, double cy, double rx, double ry, double a0, double a1) {
        Point2 start = ArcPoint(cx, cy, rx, ry, a0);
        if (glyph_.strokes.empty() || !Near(glyph_.strokes.back().back(), start)) {
            glyph_.strokes.push_back({start});
        }
        double sweep = a1 - a0;
        int steps = static_cast<int>((sweep < 0 ? -sweep : sweep) / 7.5) + 2;
        for (int i = 1; i <= steps; ++i) {
            glyph_.strokes.back().push_back(ArcPoint(cx, cy, rx, ry, a0 + sweep * i / steps));
        }
        return *this;
    }
    GlyphBuilder& Circle(double cx, double cy, double r) { return Arc(cx, cy, r, r, 0.0, 360.0); }
    GlyphBuilder& Dot(double x, double y) {
        glyph_.strokes.push_back({{x, y}, {x, y}});
        return *this;
    }
    Glyph Done() { return glyph_; }

private:
    static Point2 ArcPoint(double cx, double cy, double rx, double ry, double degrees) {
        double a = degrees * (MKM_PI / 180.0);
        return {cx + rx * Cos(a), cy + ry * Sin(a)};
    }
    static bool Near(Point2 p, Point2 q) {
        double dx = p.x - q.x;
        double dy = p.y - q.y;
        return dx * dx + dy * dy < 1e-6;
    }
    Glyph glyph_;
};

Glyph MakeGlyph(char c) {
    using G = GlyphBuilder;
    switch (c) {
    case 'a':
        return G(5).Circle(2.5, 2.5, 2.5).Move(5, 5).Line(5, 0).Done();
    case 'b':
        return G(5).Move(0, 8).Line(0, 0).Circle(2.5, 2.5, 2.5).Done();
    case 'c':
        return G(4.6).Arc(2.5, 2.5, 2.5, 2.5, 42, 318).Done();
    case 'd':
        return G(5).Circle(2.5, 2.5, 2.5).Move(5, 8).Line(5, 0).Done();
    case 'e':
        return G(5).Move(0, 2.5).Line(5, 2.5).Arc(2.5, 2.5, 2.5, 2.5, 0, 318).Done();
    case 'f':
        return G(3.8)
            .Move(1.3, 0)
            .Line(1.3, 6.4)
            .Arc(2.9, 6.4, 1.6, 1.6, 180, 50)
            .Move(0, 5)
            .Line(3.4, 5)
            .Done();
    case 'g':
        return G(5)
            .Circle(2.5, 2.5, 2.5)
            .Move(5, 5)
            .Line(5, -0.5)
            .Arc(2.5, -0.5, 2.5, 2.5, 0, -145)
            .Done();
    case 'h':
        return G(5)
            .Move(0, 8)
            .Line(0, 0)
            .Move(0, 2.5)
            .Arc(2.5, 2.5, 2.5, 2.5, 180, 0)
            .Line(5, 0)
            .Done();
    case 'i':
        return G(0).Move(0, 5).Line(0, 0).Dot(0, 7).Done();
    case 'j':
        return G(1.5)
            .Move(1.5, 5)
            .Line(1.5, -1.5)
            .Arc(0, -1.5, 1.5, 1.5, 0, -125)
            .Dot(1.5, 7)
            .Done();
    case 'k':
        return G(4.2)
            .Move(0, 8)
            .Line(0, 0)
            .Move(4, 5)
            .Line(0, 1.8)
            .Move(1.5, 2.85)
            .Line(4.2, 0)
            .Done();
    case 'l':
        return G(0).Move(0, 8).Line(0, 0).Done();
    case 'm':
        return G(7)
            .Move(0, 5)
            .Line(0, 0)
            .Move(0, 3.25)
            .Arc(1.75, 3.25, 1.75, 1.75, 180, 0)
            .Line(3.5, 0)
            .Move(3.5, 3.25)
            .Arc(5.25, 3.25, 1.75, 1.75, 180, 0)
            .Line(7, 0)
            .Done();
    case 'n':
        return G(5)
            .Move(0, 5)
            .Line(0, 0)
            .Move(0, 2.5)
            .Arc(2.5, 2.5, 2.5, 2.5, 180, 0)
            .Line(5, 0)
            .Done();
    case 'o':
        return G(5).Circle(2.5, 2.5, 2.5).Done();
    case 'p':
        return G(5).Move(0, 5).Line(0, -3).Circle(2.5, 2.5, 2.5).Done();
    case 'q':
        return G(5).Circle(2.5, 2.5, 2.5).Move(5, 5).Line(5, -3).Done();
    case 'r':
        return G(3.6).Move(0, 5).Line(0, 0).Move(0, 2.5).Arc(2.5, 2.5, 2.5, 2.5, 180, 65).Done();
    case 's':
        return G(4).Arc(2, 3.75, 2, 1.25, 25, 270).Arc(2, 1.25, 2, 1.25, 90, -155).Done();
    case 't':
        return G(3.4)
            .Move(1.3, 7)
            .Line(1.3, 1.3)
            .Arc(2.6, 1.3, 1.3, 1.3, 180, 290)
            .Move(0, 5)
            .Line(3.4, 5)
            .Done();
    case 'u':
        return G(5)
            .Move(0, 5)
            .Line(0, 2.5)
            .Arc(2.5, 2.5, 2.5, 2.5, 180, 360)
            .Move(5, 5)
            .Line(5, 0)
            .Done();
    case 'v':
        return G(5).Move(0, 5).Line(2.5, 0).Line(5, 5).Done();
    case 'w':
        return G(7).Move(0, 5).Line(1.75, 0).Line(3.5, 5).Line(5.25, 0).Line(7, 5).Done();
    case 'x':
        return G(4.6).Move(0, 5).Line(4.6, 0).Move(0, 0).Line(4.6, 5).Done();
    case 'y':
        return G(5).Move(0, 5).Line(2.6, 0.3).Move(5, 5).Line(1.3, -3).Done();
    case 'z':
        return G(4.5).Move(0, 5).Line(4.5, 5).Line(0, 0).Line(4.5, 0).Done();
    case ',':
        return G(0.6).Move(0.6, 0.5).Line(-0.2, -1.5).Done();
    case '.':
        return G(0).Dot(0, 0).Done();
    case '-':
        return G(3).Move(0, 2.5).Line(3, 2.5).Done();
    case '\'':
        return G(0).Move(0, 8).Line(0, 6).Done();
    case ' ':
        return G(2.4).Done();
    case '_':
        return G(4.5).Move(0, -1).Line(4.5, -1).Done();
    case '0':
        return G(4.5).Arc(2.25, 4, 2.25, 4, 0, 360).Done();
    case '1':
        return G(2).Move(0.6, 6.8).Line(2, 8).Line(2, 0).Done();
    case '2':
        return G(4.5).Arc(2.25, 5.75, 2.25, 2.25, 160, -40).Line(0, 0).Line(4.5, 0).Done();
    case '3':
        return G(4.5).Arc(2.25, 6, 2, 2, 150, -90).Arc(2.25, 2.1, 2.2, 1.9, 90, -150).Done();
    case '4':
        return G(4.8).Move(3.5, 0).Line(3.5, 8).Line(0, 2.5).Line(4.8, 2.5).Done();
    case '5':
        return G(4.6)
            .Move(4.3, 8)
            .Line(0.6, 8)
            .Line(0.4, 4.4)
            .Arc(2.3, 2.55, 2.3, 2.55, 135, -145)
            .Done();
    case '6':
        return G(4.5).Circle(2.25, 2.4, 2.3).Move(0.15, 3.0).Line(3.2, 8).Done();
    case '7':
        return G(4.5).Move(0, 8).Line(4.5, 8).Line(1.5, 0).Done();
    case '8':
        return G(4.5).Circle(2.25, 6.1, 1.9).Circle(2.25, 2.1, 2.15).Done();
    case '9':
        return G(4.5).Circle(2.25, 5.6, 2.3).Move(4.35, 5.0).Line(1.3, 0).Done();
    default:
        return G(-1).Done(); // no glyph
    }
}

const std::array<Glyph, 128>& GlyphTable() {
    static const std::array<Glyph, 128> table = [] {
        std::array<Glyph, 128> t;
        for (int c = 0; c < 128; ++c) {
            t[c] = MakeGlyph(static_cast<char>(c));
        }
        return t;
    }();
    return table;
}

const Glyph& GlyphFor(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return GlyphTable()[u < 128 && HasGlyph(c) ? u : ' '];
}

} // namespace

bool HasGlyph(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u < 128 && GlyphTable()[u].width >= 0.0;
}

double TextWidth(std::string_view text, double tracking) {
    double width = 0.0;
    for (size_t i = 0; i < text.size(); ++i) {
        width += GlyphFor(text[i]).width;
        if (i + 1 < text.size()) {
            width += tracking;
        }
    }
    return width;
}

std::vector<Segment> LayOutText(std::string_view text, const TextPlacement& placement) {
    std::vector<Segment> segments;
    double penX = 0.0;
    auto toPicture = [&](Point2 p) {
        double x = penX + p.x + placement.slant * p.y;
        return Point2{placement.left + x * placement.scale,
                      placement.baseline - p.y * placement.scale};
    };
    for (char c : text) {
        const Glyph& glyph = GlyphFor(c);
        for (const Polyline& stroke : glyph.strokes) {
            for (size_t i = 0; i + 1 < stroke.size(); ++i) {
                segments.push_back({toPicture(stroke[i]), toPicture(stroke[i + 1])});
            }
        }
        penX += glyph.width + placement.tracking;
    }
    return segments;
}

} // namespace mkmedia
