// Helpers for tests of DirectDraw and Direct3D on fake drivers.
#pragma once

#include "platform/d3d/d3d.h"
#include "platform/ddraw/pixel_formats.h"
#include "support/fake_drivers.h"

namespace gfx_test {

// A window handle for cooperative levels; DirectDraw never dereferences it.
inline HWND FakeWindow() {
    return reinterpret_cast<HWND>(0x5150);
}

IDirectDraw7* CreateDirectDraw(GUID* driver = nullptr);

// A system-memory texture (or other surface kind by caps) of the given size and format.
IDirectDrawSurface7* CreateSurface(IDirectDraw7* directDraw, DWORD width, DWORD height,
                                   ddraw::PixelKind kind,
                                   DWORD caps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY);

// Writes and reads pixels of a surface through Lock, row by row; value i of `pixels` is the raw
// pixel at (i % width, i / width).
void WriteRawPixels(IDirectDrawSurface7* surface, const std::vector<DWORD>& pixels);
std::vector<DWORD> ReadRawPixels(IDirectDrawSurface7* surface);

// The reference count an object has now (AddRef then Release).
ULONG RefCount(IUnknown* object);

} // namespace gfx_test
