// Rebuilding an entry's device texture: size, format search, creation, fill.
#include <algorithm>

#include "math/render_records.h"
#include "texture/texture_surfaces.h"

namespace {

constexpr DWORD TEXTURE_DESC_FLAGS =
    DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT | DDSD_TEXTURESTAGE;
// What a device reporting no maximum texture size is taken to manage.
constexpr DWORD DEFAULT_MAX_TEXTURE_SIDE = 256;

DWORD NextPowerOfTwo(DWORD side) {
    uint64_t power = 1;
    while (power < side) {
        power <<= 1;
    }
    return static_cast<DWORD>(std::min<uint64_t>(power, uint64_t{1} << 31));
}

bool IsHardwareDevice(const GUID& guid) {
    return guid == IID_IDirect3DHALDevice || guid == IID_IDirect3DTnLHalDevice;
}

// The DirectDraw object behind the device's render target, with a reference for the caller.
HRESULT GetDirectDraw(IDirect3DDevice7* device, IDirectDraw7** directDraw) {
    IDirectDrawSurface7* target = nullptr;
    HRESULT result = device->GetRenderTarget(&target);
    if (FAILED(result)) {
        return result;
    }
    result = target->GetDDInterface(reinterpret_cast<LPVOID*>(directDraw));
    target->Release();
    return result;
}

HRESULT RebuildSurface(TextureEntry& entry, IDirect3DDevice7* device) {
    if (entry.surface != nullptr) {
        entry.surface->Release();
        entry.surface = nullptr;
    }
    if (device == nullptr) {
        return E_INVALIDARG;
    }
    D3DDEVICEDESC7 caps{};
    if (FAILED(device->GetCaps(&caps))) {
        return E_FAIL;
    }

    DDSURFACEDESC2 desc;
    FillSurfaceDesc(desc, TEXTURE_DESC_FLAGS, DDSCAPS_TEXTURE);
    desc.dwTextureStage = entry.stage;
    desc.dwWidth = entry.width;
    desc.dwHeight = entry.height;
    // Hardware devices manage their textures themselves; the others draw from system memory.
    if (IsHardwareDevice(caps.deviceGUID)) {
        desc.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
    } else {
        desc.ddsCaps.dwCaps |= DDSCAPS_SYSTEMMEMORY;
    }
    ChooseTextureSize(caps, desc.dwWidth, desc.dwHeight);

    TextureFormatQuery query{};
    query.bitsPerPixel = entry.bitsPerPixel;
    query.alpha = FALSE;
    query.palettized = entry.bitsPerPixel <= 8;
    query.found = FALSE;
    query.format = &desc.ddpfPixelFormat;
    if (entry.flags & TEXFLAG_16BIT) {
        query.bitsPerPixel = 16;
    } else if (entry.flags & TEXFLAG_32BIT) {
        query.bitsPerPixel = 32;
    }
    if ((entry.flags & (TEXFLAG_TRANSPARENT_WHITE | TEXFLAG_TRANSPARENT_BLACK)) &&
        query.palettized) {
        query.alpha = TRUE;
        query.palettized = (caps.dpcTriCaps.dwTextureCaps & D3DPTEXTURECAPS_ALPHAPALETTE) != 0;
    }
    device->EnumTextureFormats(AcceptTextureFormat, &query);
    if (!query.found) {
        query.palettized = FALSE;
        query.bitsPerPixel = 16;
        device->EnumTextureFormats(AcceptTextureFormat, &query);
    }
    if (!query.found) {
        return E_FAIL;
    }

    IDirectDraw7* directDraw = nullptr;
    HRESULT result = GetDirectDraw(device, &directDraw);
    if (FAILED(result)) {
        return result;
    }
    result = directDraw->CreateSurface(&desc, &entry.surface, nullptr);
    directDraw->Release();
    if (FAILED(result)) {
        entry.surface = nullptr;
        return result;
    }

    if (entry.bitmap != nullptr) {
        return CopyBitmapToSurface(entry.surface, entry.bitmap, entry.flags);
    }
    if (entry.pixels != nullptr) {
        return CopyPixelsToSurface(entry.surface, entry.pixels, entry.width, entry.height);
    }
    return S_OK;
}

} // namespace

void ChooseTextureSize(const D3DDEVICEDESC7& caps, DWORD& width, DWORD& height) {
    const DWORD textureCaps = caps.dpcTriCaps.dwTextureCaps;
    if (textureCaps & D3DPTEXTURECAPS_POW2) {
        width = NextPowerOfTwo(width);
        height = NextPowerOfTwo(height);
    }
    const DWORD maxWidth =
        caps.dwMaxTextureWidth != 0 ? caps.dwMaxTextureWidth : DEFAULT_MAX_TEXTURE_SIDE;
    const DWORD maxHeight =
        caps.dwMaxTextureHeight != 0 ? caps.dwMaxTextureHeight : DEFAULT_MAX_TEXTURE_SIDE;
    width = std::min(width, maxWidth);
    height = std::min(height, maxHeight);
    if (textureCaps & D3DPTEXTURECAPS_SQUAREONLY) {
        width = height = std::max(width, height);
    }
}

HRESULT RestoreTexture(LPCSTR name, IDirect3DDevice7* device) {
    TextureEntry* entry = FindTexture(name);
    if (entry == nullptr) {
        return DDERR_NOTFOUND;
    }
    return RebuildSurface(*entry, device);
}

HRESULT RestoreAllTextures(IDirect3DDevice7* device) {
    for (TextureEntry* entry = textureStore.head; entry != nullptr; entry = entry->next) {
        RestoreTexture(entry->name, device);
    }
    return S_OK;
}

HRESULT InvalidateAllTextures() {
    for (TextureEntry* entry = textureStore.head; entry != nullptr; entry = entry->next) {
        if (entry->surface != nullptr) {
            entry->surface->Release();
            entry->surface = nullptr;
        }
    }
    return S_OK;
}
