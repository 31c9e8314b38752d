// The seam between GDI and DirectDraw surfaces: IDirectDrawSurface7::GetDC wraps the surface's
// pixels in a device context, so that BitBlt and ExtTextOutA draw straight into them.
#pragma once

#include "platform/win32/gdi.h"

// A view of pixels in memory in a direct-colour (16, 24 or 32 bits, by masks) or 8-bit
// palette-indexed format. Row 0 is the top row; rows are `pitch` bytes apart.
struct PixelView {
    void* bits = nullptr;
    LONG width = 0;
    LONG height = 0;
    LONG pitch = 0;
    DWORD bitCount = 0;
    DWORD redMask = 0;
    DWORD greenMask = 0;
    DWORD blueMask = 0;
    DWORD alphaMask = 0;
    const PALETTEENTRY* palette = nullptr; // 256 entries for 8-bit views, else null
};

// A device context drawing into the view; the view must stay valid until DeleteSurfaceDC.
HDC CreateSurfaceDC(const PixelView& view);
void DeleteSurfaceDC(HDC dc);
