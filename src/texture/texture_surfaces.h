// Device textures from the store's images: choosing a size and a pixel format the device takes,
// creating the texture through the device's DirectDraw object, and filling it through a
// system-memory staging surface (GDI for bitmaps, mask shifts for TGA pixel arrays).
//
// The demo restores all textures whenever a device has been made and invalidates them before
// the device goes; images stay in memory throughout, so no file is read again.
#pragma once

#include "platform/d3d/d3d.h"
#include "texture/texture_store.h"

// Rebuilds the named entry's surface for the device: DDERR_NOTFOUND when the store has no such
// entry, E_INVALIDARG for a null device (the old surface is released even then), E_FAIL when the
// device's capabilities cannot be read or it takes no suitable format, CreateSurface's code when
// that fails, else the result of filling the surface.
HRESULT RestoreTexture(LPCSTR name, IDirect3DDevice7* device);
// RestoreTexture for every entry, newest first; failures are passed over. Always S_OK.
HRESULT RestoreAllTextures(IDirect3DDevice7* device);
// Releases every entry's surface; the images stay. Always S_OK.
HRESULT InvalidateAllTextures();

// ---- The steps, public for the tests -----------------------------------------------------------

// What the texture-format enumeration looks for.
struct TextureFormatQuery {
    DWORD bitsPerPixel;    // for direct-colour formats
    BOOL alpha;            // the format must (true) or must not (false) have alpha pixels
    BOOL palettized;       // only 8-bit palette-indexed formats
    BOOL found;            // set when a format was accepted
    DDPIXELFORMAT* format; // receives the accepted format
};

// The enumeration callback: D3DENUMRET_CANCEL after accepting a format (copied to the query),
// D3DENUMRET_OK to be shown the next one.
HRESULT AcceptTextureFormat(DDPIXELFORMAT* format, LPVOID query);

// The texture size for an image on a device with these capabilities: powers of two when the
// device needs them, clamped to its maximum (0 counting as 256), square when it needs that.
void ChooseTextureSize(const D3DDEVICEDESC7& caps, DWORD& width, DWORD& height);

// Fill a texture from a DIB section (palette and colour-key alpha included, per `flags`) or from
// a 0xRRGGBBAA pixel array of width x height; the texture may be of another size (stretched).
HRESULT CopyBitmapToSurface(IDirectDrawSurface7* texture, HBITMAP bitmap, DWORD flags);
HRESULT CopyPixelsToSurface(IDirectDrawSurface7* texture, const DWORD* pixels, DWORD width,
                            DWORD height);
