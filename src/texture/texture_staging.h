// Helpers shared by the two texture fills: the system-memory staging surface and locking.
#pragma once

#include "platform/ddraw/ddraw.h"

// A staging surface like the texture (same pixel format and stage) but of the given size, in
// system memory and not managed.
HRESULT CreateStagingSurface(IDirectDraw7* directDraw, const DDSURFACEDESC2& textureDesc,
                             DWORD width, DWORD height, IDirectDrawSurface7** staging);
// Lock of the whole surface, asked again at once for as long as it answers
// DDERR_WASSTILLDRAWING. `desc` receives the pitch, the memory and the pixel format.
HRESULT LockWholeSurface(IDirectDrawSurface7* surface, DDSURFACEDESC2& desc);
