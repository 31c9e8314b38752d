// Pixel format records, their validation, and reading and writing single pixels.
#include "platform/ddraw/pixel_formats.h"

#include <bit>

namespace ddraw {

namespace {

DDPIXELFORMAT Rgb(DWORD flags, DWORD bits, DWORD r, DWORD g, DWORD b, DWORD a) {
    DDPIXELFORMAT format{};
    format.dwSize = sizeof(DDPIXELFORMAT);
    format.dwFlags = DDPF_RGB | flags;
    format.dwRGBBitCount = bits;
    format.dwRBitMask = r;
    format.dwGBitMask = g;
    format.dwBBitMask = b;
    format.dwRGBAlphaBitMask = a;
    return format;
}

DDPIXELFORMAT Depth(DWORD bits, DWORD mask) {
    DDPIXELFORMAT format{};
    format.dwSize = sizeof(DDPIXELFORMAT);
    format.dwFlags = DDPF_ZBUFFER;
    format.dwZBufferBitDepth = bits;
    format.dwZBitMask = mask;
    return format;
}

// A usable mask is one run of set bits inside the pixel's width.
bool DescribeChannel(DWORD mask, DWORD pixelBits, Channel& channel) {
    channel = Channel{};
    if (mask == 0) {
        return true;
    }
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const DWORD run = (bits == 32 ? 0xFFFFFFFFu : ((1u << bits) - 1u)) << shift;
    if (run != mask || shift + bits > static_cast<int>(pixelBits)) {
        return false;
    }
    channel.mask = mask;
    channel.shift = shift;
    channel.bits = bits;
    return true;
}

// Widens a channel value of `bits` bits to 8 bits by repeating its bit pattern, so that full
// intensity stays full (31 in five bits becomes 255, not 248).
DWORD Widen(DWORD value, int bits) {
    if (bits >= 8) {
        return value >> (bits - 8);
    }
    DWORD widened = 0;
    int filled = 0;
    while (filled < 8) {
        widened = (widened << bits) | value;
        filled += bits;
    }
    return (widened >> (filled - 8)) & 0xFF;
}

DWORD ReadChannel(const Channel& channel, DWORD raw, DWORD absent) {
    if (channel.bits == 0) {
        return absent;
    }
    return Widen((raw & channel.mask) >> channel.shift, channel.bits);
}

DWORD PlaceChannel(const Channel& channel, DWORD value8) {
    if (channel.bits == 0) {
        return 0;
    }
    const DWORD value =
        channel.bits <= 8 ? value8 >> (8 - channel.bits) : value8 << (channel.bits - 8);
    return (value << channel.shift) & channel.mask;
}

} // namespace

DDPIXELFORMAT MakePixelFormat(PixelKind kind) {
    switch (kind) {
    case PixelKind::RGB565:
        return Rgb(0, 16, 0xF800, 0x07E0, 0x001F, 0);
    case PixelKind::XRGB1555:
        return Rgb(0, 16, 0x7C00, 0x03E0, 0x001F, 0);
    case PixelKind::ARGB1555:
        return Rgb(DDPF_ALPHAPIXELS, 16, 0x7C00, 0x03E0, 0x001F, 0x8000);
    case PixelKind::ARGB4444:
        return Rgb(DDPF_ALPHAPIXELS, 16, 0x0F00, 0x00F0, 0x000F, 0xF000);
    case PixelKind::RGB888:
        return Rgb(0, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    case PixelKind::XRGB8888:
        return Rgb(0, 32, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    case PixelKind::ARGB8888:
        return Rgb(DDPF_ALPHAPIXELS, 32, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000);
    case PixelKind::PAL8:
        return Rgb(DDPF_PALETTEINDEXED8, 8, 0, 0, 0, 0);
    case PixelKind::Z16:
        return Depth(16, 0xFFFF);
    case PixelKind::Z24:
        return Depth(24, 0xFFFFFF);
    case PixelKind::Z32:
        return Depth(32, 0xFFFFFFFF);
    }
    return DDPIXELFORMAT{};
}

PixelLayout DescribePixelFormat(const DDPIXELFORMAT& format) {
    PixelLayout layout;
    const DWORD unsupported = DDPF_FOURCC | DDPF_LUMINANCE | DDPF_BUMPLUMINANCE | DDPF_BUMPDUDV |
                              DDPF_PALETTEINDEXED4 | DDPF_ALPHA;
    if ((format.dwFlags & unsupported) != 0) {
        return layout;
    }
    if ((format.dwFlags & DDPF_ZBUFFER) != 0) {
        const DWORD bits = format.dwZBufferBitDepth;
        if (bits != 16 && bits != 24 && bits != 32) {
            return layout;
        }
        layout.depth = true;
        layout.bytesPerPixel = bits == 16 ? 2 : 4;
        layout.valid = true;
        return layout;
    }
    if ((format.dwFlags & DDPF_PALETTEINDEXED8) != 0) {
        if (format.dwRGBBitCount != 8) {
            return layout;
        }
        layout.palettised = true;
        layout.bytesPerPixel = 1;
        layout.valid = true;
        return layout;
    }
    if ((format.dwFlags & DDPF_RGB) == 0) {
        return layout;
    }
    const DWORD bits = format.dwRGBBitCount;
    if (bits != 16 && bits != 24 && bits != 32) {
        return layout;
    }
    const DWORD alphaMask = (format.dwFlags & DDPF_ALPHAPIXELS) != 0 ? format.dwRGBAlphaBitMask : 0;
    if (!DescribeChannel(format.dwRBitMask, bits, layout.red) ||
        !DescribeChannel(format.dwGBitMask, bits, layout.green) ||
        !DescribeChannel(format.dwBBitMask, bits, layout.blue) ||
        !DescribeChannel(alphaMask, bits, layout.alpha)) {
        return layout;
    }
    const DWORD r = format.dwRBitMask, g = format.dwGBitMask, b = format.dwBBitMask;
    if (r == 0 || g == 0 || b == 0 || (r & g) || (r & b) || (g & b) ||
        ((r | g | b) & alphaMask) != 0) {
        return layout;
    }
    layout.bytesPerPixel = static_cast<int>(bits / 8);
    layout.valid = true;
    return layout;
}

bool IsRgb565(const PixelLayout& layout) {
    return layout.bytesPerPixel == 2 && layout.red.mask == 0xF800 && layout.green.mask == 0x07E0 &&
           layout.blue.mask == 0x001F;
}

bool IsXrgb8888(const PixelLayout& layout) {
    return layout.bytesPerPixel == 4 && layout.red.mask == 0x00FF0000 &&
           layout.green.mask == 0x0000FF00 && layout.blue.mask == 0x000000FF;
}

bool SamePixelFormat(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b) {
    const DWORD kindFlags = DDPF_RGB | DDPF_PALETTEINDEXED8 | DDPF_ZBUFFER | DDPF_ALPHAPIXELS;
    if ((a.dwFlags & kindFlags) != (b.dwFlags & kindFlags)) {
        return false;
    }
    if ((a.dwFlags & DDPF_ZBUFFER) != 0) {
        return a.dwZBufferBitDepth == b.dwZBufferBitDepth;
    }
    const bool alpha = (a.dwFlags & DDPF_ALPHAPIXELS) != 0;
    return a.dwRGBBitCount == b.dwRGBBitCount && a.dwRBitMask == b.dwRBitMask &&
           a.dwGBitMask == b.dwGBitMask && a.dwBBitMask == b.dwBBitMask &&
           (!alpha || a.dwRGBAlphaBitMask == b.dwRGBAlphaBitMask);
}

DWORD ReadRaw(const BYTE* pixel, int bytesPerPixel) {
    DWORD raw = 0;
    for (int i = 0; i < bytesPerPixel; ++i) {
        raw |= static_cast<DWORD>(pixel[i]) << (8 * i);
    }
    return raw;
}

void WriteRaw(BYTE* pixel, int bytesPerPixel, DWORD value) {
    for (int i = 0; i < bytesPerPixel; ++i) {
        pixel[i] = static_cast<BYTE>(value >> (8 * i));
    }
}

Argb ReadPixel(const PixelLayout& layout, const BYTE* pixel, const PALETTEENTRY* palette,
               bool paletteAlpha) {
    if (layout.palettised) {
        if (palette == nullptr) {
            return 0xFF000000;
        }
        const PALETTEENTRY& entry = palette[pixel[0]];
        const DWORD alpha = paletteAlpha ? entry.peFlags : 0xFF;
        return (alpha << 24) | (static_cast<DWORD>(entry.peRed) << 16) |
               (static_cast<DWORD>(entry.peGreen) << 8) | entry.peBlue;
    }
    const DWORD raw = ReadRaw(pixel, layout.bytesPerPixel);
    return (ReadChannel(layout.alpha, raw, 0xFF) << 24) | (ReadChannel(layout.red, raw, 0) << 16) |
           (ReadChannel(layout.green, raw, 0) << 8) | ReadChannel(layout.blue, raw, 0);
}

void WritePixel(const PixelLayout& layout, BYTE* pixel, Argb colour) {
    const DWORD raw =
        PlaceChannel(layout.alpha, colour >> 24) | PlaceChannel(layout.red, (colour >> 16) & 0xFF) |
        PlaceChannel(layout.green, (colour >> 8) & 0xFF) | PlaceChannel(layout.blue, colour & 0xFF);
    WriteRaw(pixel, layout.bytesPerPixel, raw);
}

DWORD BitsPerPixel(const DDPIXELFORMAT& format) {
    if ((format.dwFlags & DDPF_ZBUFFER) != 0) {
        return format.dwZBufferBitDepth;
    }
    if ((format.dwFlags & (DDPF_RGB | DDPF_PALETTEINDEXED8)) != 0) {
        return format.dwRGBBitCount;
    }
    return 0;
}

} // namespace ddraw
