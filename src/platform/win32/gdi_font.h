// The one built-in bitmap font of GDI text output: 5 x 7 glyphs of printable ASCII in cells of
// 6 x 8 pixels (one column and one row of spacing).
#pragma once

#include <cstdint>

constexpr int FONT_GLYPH_WIDTH = 5;
constexpr int FONT_GLYPH_HEIGHT = 7;
constexpr int FONT_CELL_WIDTH = 6;
constexpr int FONT_CELL_HEIGHT = 8;

// Rows top to bottom; bit 4 of a row is the leftmost pixel. Characters outside ' ' to '~' are
// drawn as '?'.
const uint8_t* FontGlyph(char character);
