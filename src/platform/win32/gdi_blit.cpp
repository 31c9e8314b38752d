// BitBlt with SRCCOPY from a bitmap in a memory context into a surface's context, clipped to
// both. Indexed sources onto 8-bit surfaces copy their indices (the surface's palette is built
// from the same colour table); every other pairing converts through RGB.
#include <algorithm>

#include "platform/win32/gdi_objects.h"
#include "platform/win32/gdi_pixels.h"

BOOL BitBlt(HDC destination, int x, int y, int cx, int cy, HDC source, int x1, int y1, DWORD rop) {
    GdiDevice* target = FindGdiDevice(destination);
    GdiDevice* from = FindGdiDevice(source);
    if (rop != SRCCOPY || target == nullptr || from == nullptr ||
        target->kind != GdiDevice::Kind::SURFACE || from->kind != GdiDevice::Kind::MEMORY) {
        return FALSE;
    }
    if (cx <= 0 || cy <= 0) {
        return TRUE;
    }
    const DecodedBitmap& image = from->bitmap->image;
    const PixelView& view = target->view;

    // Clip in 64 bits: positions and sizes are arbitrary ints from the caller.
    int64_t srcX = x1, srcY = y1, dstX = x, dstY = y, width = cx, height = cy;
    auto clipLow = [&](int64_t& a, int64_t& b) {
        const int64_t cut = std::max<int64_t>({0, -a, -b});
        a += cut;
        b += cut;
        return cut;
    };
    width -= clipLow(srcX, dstX);
    height -= clipLow(srcY, dstY);
    width = std::min({width, image.width - srcX, view.width - dstX});
    height = std::min({height, image.height - srcY, view.height - dstY});
    if (width <= 0 || height <= 0) {
        return TRUE;
    }

    BitmapReader reader(image);
    ViewWriter writer(view);
    const bool copyIndices = reader.Indexed() && writer.Indexed();
    for (int64_t row = 0; row < height; ++row) {
        const auto sy = static_cast<int32_t>(srcY + row);
        const auto dy = static_cast<int32_t>(dstY + row);
        for (int64_t column = 0; column < width; ++column) {
            const auto sx = static_cast<int32_t>(srcX + column);
            const auto dx = static_cast<int32_t>(dstX + column);
            if (copyIndices) {
                writer.PutIndex(dx, dy, reader.Index(sx, sy));
            } else {
                writer.PutColor(dx, dy, reader.Color(sx, sy));
            }
        }
    }
    return TRUE;
}
