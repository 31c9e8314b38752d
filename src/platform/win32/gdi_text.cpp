// ExtTextOutA into a surface's context with the built-in font: the text's top-left corner at
// (x, y), glyphs in the text colour, the cell background in the background colour when the mode
// is OPAQUE. Each character advances by its entry of `dx` when given, else by one cell. Options
// and the clipping rectangle are not supported: text is clipped to the surface only.
#include "platform/win32/gdi_font.h"
#include "platform/win32/gdi_objects.h"
#include "platform/win32/gdi_pixels.h"

namespace {

Rgb ToRgb(COLORREF color) {
    return Rgb{GetRValue(color), GetGValue(color), GetBValue(color)};
}

void DrawCell(ViewWriter& writer, const PixelView& view, int64_t left, int64_t top,
              const uint8_t* glyph, Rgb ink, const Rgb* paper) {
    for (int row = 0; row < FONT_CELL_HEIGHT; ++row) {
        const int64_t y = top + row;
        if (y < 0 || y >= view.height) {
            continue;
        }
        const uint8_t bits = row < FONT_GLYPH_HEIGHT ? glyph[row] : 0;
        for (int column = 0; column < FONT_CELL_WIDTH; ++column) {
            const int64_t x = left + column;
            if (x < 0 || x >= view.width) {
                continue;
            }
            const bool set =
                column < FONT_GLYPH_WIDTH && (bits & (1u << (FONT_GLYPH_WIDTH - 1 - column))) != 0;
            if (set) {
                writer.PutColor(static_cast<int32_t>(x), static_cast<int32_t>(y), ink);
            } else if (paper != nullptr) {
                writer.PutColor(static_cast<int32_t>(x), static_cast<int32_t>(y), *paper);
            }
        }
    }
}

} // namespace

BOOL ExtTextOutA(HDC dc, int x, int y, UINT /*options*/, const RECT* /*rect*/, LPCSTR text,
                 UINT count, const INT* dx) {
    GdiDevice* device = FindGdiDevice(dc);
    if (device == nullptr || device->kind != GdiDevice::Kind::SURFACE) {
        return FALSE;
    }
    if (text == nullptr || count == 0) {
        return count == 0 ? TRUE : FALSE;
    }
    ViewWriter writer(device->view);
    const Rgb ink = ToRgb(device->textColor);
    const Rgb paper = ToRgb(device->backgroundColor);
    const Rgb* background = device->backgroundMode == OPAQUE ? &paper : nullptr;
    int64_t left = x;
    for (UINT i = 0; i < count; ++i) {
        DrawCell(writer, device->view, left, y, FontGlyph(text[i]), ink, background);
        left += dx != nullptr ? dx[i] : FONT_CELL_WIDTH;
    }
    return TRUE;
}
