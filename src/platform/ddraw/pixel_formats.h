// Pixel formats: the records this platform hands out for surfaces, textures and z-buffers, and
// the per-pixel reading and writing that blits, texture uploads and frame read-back share.
//
// Direct colour is described by masks (any contiguous masks within 16, 24 or 32 bits); 8-bit
// palette-indexed pixels are looked up in a 256-entry palette. Nothing here allocates.
#pragma once

#include "platform/ddraw/ddraw.h"

namespace ddraw {

// The formats this platform creates by name.
enum class PixelKind {
    RGB565,
    XRGB1555,
    ARGB1555,
    ARGB4444,
    RGB888,
    XRGB8888,
    ARGB8888,
    PAL8,
    Z16,
    Z24,
    Z32,
};

DDPIXELFORMAT MakePixelFormat(PixelKind kind);

// A direct-colour channel: where its bits sit and how many there are.
struct Channel {
    DWORD mask = 0;
    int shift = 0; // position of the lowest set bit
    int bits = 0;  // number of set bits
};

// A validated view of a DDPIXELFORMAT. `valid` is false for formats this platform cannot store
// (FourCC, luminance, bump maps, masks that overlap, are not contiguous or exceed the depth).
struct PixelLayout {
    bool valid = false;
    bool palettised = false; // 8-bit indices into a palette
    bool depth = false;      // a z-buffer format
    int bytesPerPixel = 0;
    Channel red, green, blue, alpha;
};

PixelLayout DescribePixelFormat(const DDPIXELFORMAT& format);

// The two layouts GL and the fast loops take as they are: 16-bit RGB565, and 32-bit with red,
// green and blue in the low three bytes (blue lowest; the fourth byte unused or alpha).
bool IsRgb565(const PixelLayout& layout);
bool IsXrgb8888(const PixelLayout& layout);
bool SamePixelFormat(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b);

// 0xAARRGGBB with 8 bits per channel; direct colour without an alpha mask reads as opaque.
using Argb = DWORD;

// Reads one pixel; `palette` (256 entries, may be null: black) is used for palettised layouts;
// `paletteAlpha` says whether the palette's flags carry alpha.
Argb ReadPixel(const PixelLayout& layout, const BYTE* pixel, const PALETTEENTRY* palette,
               bool paletteAlpha);
// Writes one direct-colour pixel; channels are truncated to the format's bits.
void WritePixel(const PixelLayout& layout, BYTE* pixel, Argb colour);

// The raw pixel value (up to 32 bits, little-endian) and its write, for fills and index copies.
DWORD ReadRaw(const BYTE* pixel, int bytesPerPixel);
void WriteRaw(BYTE* pixel, int bytesPerPixel, DWORD value);

// Bits per pixel of a layout-describing record, 0 when it is not a colour or z format.
DWORD BitsPerPixel(const DDPIXELFORMAT& format);

} // namespace ddraw
