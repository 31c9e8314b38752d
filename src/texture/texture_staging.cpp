#include "texture/texture_staging.h"

#include "math/render_records.h"

HRESULT CreateStagingSurface(IDirectDraw7* directDraw, const DDSURFACEDESC2& textureDesc,
                             DWORD width, DWORD height, IDirectDrawSurface7** staging) {
    DDSURFACEDESC2 desc = textureDesc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT | DDSD_TEXTURESTAGE;
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
    desc.ddsCaps.dwCaps2 = 0;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.lpSurface.token = 0;
    return directDraw->CreateSurface(&desc, staging, nullptr);
}

HRESULT LockWholeSurface(IDirectDrawSurface7* surface, DDSURFACEDESC2& desc) {
    HRESULT result;
    do {
        FillSurfaceDesc(desc, 0, 0);
        result = surface->Lock(nullptr, &desc, 0, nullptr);
    } while (result == DDERR_WASSTILLDRAWING);
    return result;
}
