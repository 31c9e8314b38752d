// libFuzzer target: arbitrary bytes through the BMP decoder, and whatever it accepts through the
// GDI paths the texture upload takes (description, colour table, block transfer onto 8-bit and
// 32-bit surfaces, partly off their edges).
//
// Images are limited to 256 x 256 pixels' worth here, far below the decoder's limit: a header of
// a run-length file may claim 16 million pixels in a few bytes, and left to itself the fuzzer
// drifts towards such files, spending its runs on memory rather than on the file's structure.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/win32/gdi_dib.h"
#include "platform/win32/gdi_surface_dc.h"

namespace {

constexpr uint64_t FUZZ_MAX_PIXELS = 256 * 256;

void BlitInto(HDC memory, DWORD bitCount, const PALETTEENTRY* palette) {
    constexpr LONG SIDE = 16;
    std::vector<uint8_t> pixels(SIDE * SIDE * 4);
    PixelView view;
    view.bits = pixels.data();
    view.width = SIDE;
    view.height = SIDE;
    view.pitch = static_cast<LONG>(SIDE * bitCount / 8);
    view.bitCount = bitCount;
    if (bitCount == 32) {
        view.redMask = 0xFF0000;
        view.greenMask = 0x00FF00;
        view.blueMask = 0x0000FF;
    }
    view.palette = palette;
    HDC surface = CreateSurfaceDC(view);
    BitBlt(surface, -3, 5, SIDE, SIDE, memory, 1, 0, SRCCOPY);
    DeleteSurfaceDC(surface);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HBITMAP bitmap = CreateDibSectionFromBmp(data, size, FUZZ_MAX_PIXELS);
    if (bitmap == nullptr) {
        return 0;
    }
    BITMAP description{};
    GetObjectA(bitmap, sizeof(description), &description);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ original = SelectObject(memory, bitmap);
    RGBQUAD colors[256];
    const UINT count = GetDIBColorTable(memory, 0, 256, colors);
    PALETTEENTRY palette[256] = {};
    for (UINT i = 0; i < count; ++i) {
        palette[i] = PALETTEENTRY{colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue, 0};
    }
    BlitInto(memory, 8, palette);
    BlitInto(memory, 32, nullptr);
    SelectObject(memory, original);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return 0;
}
