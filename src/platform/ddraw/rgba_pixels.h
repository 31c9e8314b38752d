// Pixels as RGBA bytes: the one conversion from a surface's own format (direct colour by masks,
// or palette indices) to 4 bytes a pixel in the order red, green, blue, alpha, rows packed. Frame
// read-back and presentation, texture uploads and render targets all use it, and differ only in
// the two rules below. Channels widen by repeating their bits (ReadPixel), so full intensity
// stays full; the common 16- and 32-bit formats take a loop of their own with the same results.
#pragma once

#include <vector>

#include "platform/ddraw/pixel_formats.h"

namespace ddraw {

class Surface;

// Where alpha comes from: always 255 (a picture to show), or the pixel's own alpha channel,
// palettised pixels taking the palette's flags when it carries alpha (a texture). Either way a
// format without alpha is opaque.
enum class AlphaRule { OPAQUE, FROM_PIXELS };
// The order of the rows written: the surface's (row 0 at the top) or GL's (row 0 at the bottom).
enum class RowOrder { TOP_DOWN, BOTTOM_UP };

// A block of pixels in memory, as a surface or a lock describes it.
struct PixelView {
    const PixelLayout* layout = nullptr;
    const BYTE* pixels = nullptr;
    LONG pitch = 0; // bytes from one row to the next
    int width = 0;
    int height = 0;
    const PALETTEENTRY* palette = nullptr; // 256 entries for palettised layouts; null: black
    bool paletteAlpha = false;             // whether the palette's flags carry alpha
};

// Writes width x height x 4 bytes to `out`.
void ConvertToRgba(const PixelView& view, AlphaRule alpha, RowOrder rows, BYTE* out);

// The surface's memory with its palette, `rgba` resized to fit. A shell (no memory) reads black.
void SurfaceToRgba(const Surface& surface, AlphaRule alpha, RowOrder rows, std::vector<BYTE>& rgba);

} // namespace ddraw
