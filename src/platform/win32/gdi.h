// GDI: bitmaps (device-independent sections loaded from BMP files), memory device contexts,
// colour tables, block transfers and text output.
//
// A device context draws into memory: either a bitmap selected into a memory context, or a
// DirectDraw surface's pixels (see gdi_surface_dc.h). Nothing here touches the screen.
#pragma once

#include "platform/win32/types.h"

constexpr UINT IMAGE_BITMAP = 0;
constexpr UINT LR_DEFAULTCOLOR = 0x0000;
constexpr UINT LR_LOADFROMFILE = 0x0010;
constexpr UINT LR_CREATEDIBSECTION = 0x2000;

constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;
constexpr DWORD BI_BITFIELDS = 3;

constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};
static_assert(sizeof(PALETTEENTRY) == 4);

HGDIOBJ GetStockObject(int object);
// IMAGE_BITMAP only. With LR_LOADFROMFILE the name is a path (backslashes allowed); without it,
// a bitmap resource of the module, of which this program has none. Files are decoded by
// platform/win32/bmp_decoder.h into DIB sections of their own depth; cx and cy must be 0.
HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags);
// Bitmaps only. bmBits points at rows stored top to bottom, bmWidthBytes apart (a DIB section on
// the original platform keeps a bottom-up file's rows bottom-up; nothing here relies on that).
int GetObjectA(HGDIOBJ object, int size, LPVOID out);
BOOL DeleteObject(HGDIOBJ object);
HDC CreateCompatibleDC(HDC dc);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteDC(HDC dc);
// The colour table of the bitmap selected into a memory context: as many entries as the file
// had (possibly fewer than 2^bits), from `start`. Returns the number copied.
UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colors);
// SRCCOPY from a memory context's bitmap into a surface's context, clipped to both.
BOOL BitBlt(HDC destination, int x, int y, int cx, int cy, HDC source, int x1, int y1, DWORD rop);
// Text into a surface's context with a built-in 5 x 7 font in 6 x 8 cells (see gdi_font.h);
// options and the clipping rectangle of ExtTextOutA are ignored.
COLORREF SetTextColor(HDC dc, COLORREF color);
int SetBkMode(HDC dc, int mode);
BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count,
                 const INT* dx);

// Bitmap handles are distinct types here; these spare callers a cast to the object handle, as
// the platform's looser handle types did.
inline HGDIOBJ ToGdiObject(HBITMAP bitmap) {
    return reinterpret_cast<HGDIOBJ>(bitmap);
}
inline int GetObjectA(HBITMAP bitmap, int size, LPVOID out) {
    return GetObjectA(ToGdiObject(bitmap), size, out);
}
inline BOOL DeleteObject(HBITMAP bitmap) {
    return DeleteObject(ToGdiObject(bitmap));
}
inline HGDIOBJ SelectObject(HDC dc, HBITMAP bitmap) {
    return SelectObject(dc, ToGdiObject(bitmap));
}
