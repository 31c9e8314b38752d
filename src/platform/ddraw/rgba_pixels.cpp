// Surface pixels to RGBA bytes.
#include "platform/ddraw/rgba_pixels.h"

#include <algorithm>

#include "platform/ddraw/palette.h"
#include "platform/ddraw/surface.h"

namespace ddraw {

namespace {

// Every presented frame of a memory back buffer comes through here (the capture tool reads each
// one), so these two formats get a row loop of their own instead of the per-pixel reader.
void Rgb565Row(const BYTE* row, int width, BYTE* out) {
    for (int x = 0; x < width; ++x) {
        const unsigned raw = unsigned(row[2 * x]) | (unsigned(row[2 * x + 1]) << 8);
        const unsigned r = raw >> 11, g = (raw >> 5) & 0x3F, b = raw & 0x1F;
        *out++ = static_cast<BYTE>((r << 3) | (r >> 2));
        *out++ = static_cast<BYTE>((g << 2) | (g >> 4));
        *out++ = static_cast<BYTE>((b << 3) | (b >> 2));
        *out++ = 0xFF;
    }
}

void Rgb8888Row(const BYTE* row, int width, bool alphaByte, BYTE* out) {
    for (int x = 0; x < width; ++x) {
        *out++ = row[4 * x + 2];
        *out++ = row[4 * x + 1];
        *out++ = row[4 * x];
        *out++ = alphaByte ? row[4 * x + 3] : BYTE{0xFF};
    }
}

void GeneralRow(const PixelView& view, const BYTE* row, bool opaque, BYTE* out) {
    const PixelLayout& layout = *view.layout;
    for (int x = 0; x < view.width; ++x) {
        const Argb colour = ReadPixel(layout, row + size_t(x) * layout.bytesPerPixel, view.palette,
                                      !opaque && view.paletteAlpha);
        *out++ = static_cast<BYTE>(colour >> 16);
        *out++ = static_cast<BYTE>(colour >> 8);
        *out++ = static_cast<BYTE>(colour);
        *out++ = opaque ? BYTE{0xFF} : static_cast<BYTE>(colour >> 24);
    }
}

} // namespace

void ConvertToRgba(const PixelView& view, AlphaRule alpha, RowOrder rows, BYTE* out) {
    const PixelLayout& layout = *view.layout;
    const bool opaque = alpha == AlphaRule::OPAQUE;
    const bool direct = !layout.palettised && !layout.depth;
    const bool rgb565 = direct && IsRgb565(layout);
    // The fourth byte is alpha only when the format says so; opaque pictures ignore it anyway.
    const bool rgb8888 =
        direct && IsXrgb8888(layout) && (layout.alpha.bits == 0 || layout.alpha.mask == 0xFF000000);
    const bool alphaByte = !opaque && layout.alpha.bits != 0;
    const size_t rowBytes = size_t(view.width) * 4;
    for (int y = 0; y < view.height; ++y) {
        const int from = rows == RowOrder::TOP_DOWN ? y : view.height - 1 - y;
        const BYTE* row = view.pixels + size_t(from) * size_t(view.pitch);
        BYTE* to = out + size_t(y) * rowBytes;
        if (rgb565) {
            Rgb565Row(row, view.width, to);
        } else if (rgb8888) {
            Rgb8888Row(row, view.width, alphaByte, to);
        } else {
            GeneralRow(view, row, opaque, to);
        }
    }
}

void SurfaceToRgba(const Surface& surface, AlphaRule alpha, RowOrder rows,
                   std::vector<BYTE>& rgba) {
    rgba.resize(size_t(surface.Width()) * surface.Height() * 4);
    if (!surface.HasPixels()) {
        std::fill(rgba.begin(), rgba.end(), BYTE{0});
        return;
    }
    const Palette* palette = surface.AttachedPalette();
    PixelView view;
    view.layout = &surface.Layout();
    view.pixels = surface.Pixels();
    view.pitch = surface.Pitch();
    view.width = surface.Width();
    view.height = surface.Height();
    view.palette = palette != nullptr ? palette->Entries() : nullptr;
    view.paletteAlpha = palette != nullptr && palette->HasAlpha();
    ConvertToRgba(view, alpha, rows, rgba.data());
}

} // namespace ddraw
