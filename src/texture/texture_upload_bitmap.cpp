// Filling a texture from a DIB section: GDI draws the bitmap into a staging surface (through the
// palette made from its colour table when the texture is 8-bit), the blitter stretches it onto
// the texture, and a colour key turns into alpha where the format has alpha and a transparency
// flag asks for it.
#include <cstring>

#include "platform/win32/gdi.h"
#include "texture/texture_staging.h"
#include "texture/texture_surfaces.h"

namespace {

constexpr DWORD TRANSPARENCY_FLAGS = TEXFLAG_TRANSPARENT_WHITE | TEXFLAG_TRANSPARENT_BLACK;
constexpr BYTE OPAQUE_ALPHA = 0xFF;

// A 256-entry palette from the bitmap's colour table. Entries past the table's end are black;
// with a transparency flag every entry but the key colour is opaque.
void AttachColorTablePalette(IDirectDraw7* directDraw, HDC bitmapDc, DWORD flags,
                             IDirectDrawSurface7* staging, IDirectDrawSurface7* texture) {
    RGBQUAD colors[256] = {};
    const UINT count = GetDIBColorTable(bitmapDc, 0, 256, colors);
    PALETTEENTRY entries[256] = {};
    const bool keyed = (flags & TRANSPARENCY_FLAGS) != 0;
    for (UINT i = 0; i < 256; ++i) {
        PALETTEENTRY& entry = entries[i];
        if (i < count) {
            entry = PALETTEENTRY{colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue, 0};
        }
        if (!keyed) {
            continue;
        }
        const bool black = entry.peRed == 0 && entry.peGreen == 0 && entry.peBlue == 0;
        const bool white = entry.peRed == 255 && entry.peGreen == 255 && entry.peBlue == 255;
        const bool isKey = (flags & TEXFLAG_TRANSPARENT_BLACK) ? black : white;
        entry.peFlags = isKey ? 0 : OPAQUE_ALPHA;
    }
    DWORD caps = DDPCAPS_8BIT | DDPCAPS_ALLOW256;
    if (keyed) {
        caps |= DDPCAPS_ALPHA;
    }
    IDirectDrawPalette* palette = nullptr;
    if (FAILED(directDraw->CreatePalette(caps, entries, &palette, nullptr))) {
        return;
    }
    staging->SetPalette(palette);
    texture->SetPalette(palette);
    palette->Release();
}

// Sets the alpha bits of every pixel whose colour differs from the key (all colour bits with
// TEXFLAG_TRANSPARENT_WHITE, black otherwise). 16- and 32-bit formats only.
void ApplyColorKeyAlpha(IDirectDrawSurface7* texture, DWORD flags) {
    DDSURFACEDESC2 desc;
    if (FAILED(LockWholeSurface(texture, desc))) {
        return;
    }
    const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
    const DWORD colorBits = format.dwRBitMask | format.dwGBitMask | format.dwBBitMask;
    const DWORD key = (flags & TEXFLAG_TRANSPARENT_WHITE) ? colorBits : 0;
    auto* bits = static_cast<BYTE*>(desc.lpSurface);
    for (DWORD y = 0; bits != nullptr && y < desc.dwHeight; ++y) {
        BYTE* row = bits + static_cast<ptrdiff_t>(y) * desc.lPitch;
        for (DWORD x = 0; x < desc.dwWidth; ++x) {
            if (format.dwRGBBitCount == 16) {
                WORD pixel;
                std::memcpy(&pixel, row + 2 * x, 2);
                if ((pixel & colorBits) != key) {
                    pixel = static_cast<WORD>(pixel | format.dwRGBAlphaBitMask);
                    std::memcpy(row + 2 * x, &pixel, 2);
                }
            } else if (format.dwRGBBitCount == 32) {
                DWORD pixel;
                std::memcpy(&pixel, row + 4 * x, 4);
                if ((pixel & colorBits) != key) {
                    pixel |= format.dwRGBAlphaBitMask;
                    std::memcpy(row + 4 * x, &pixel, 4);
                }
            }
        }
    }
    texture->Unlock(nullptr);
}

} // namespace

HRESULT CopyBitmapToSurface(IDirectDrawSurface7* texture, HBITMAP bitmap, DWORD flags) {
    if (texture == nullptr || bitmap == nullptr) {
        return E_INVALIDARG;
    }
    IDirectDraw7* directDraw = nullptr;
    HRESULT result = texture->GetDDInterface(reinterpret_cast<LPVOID*>(&directDraw));
    if (FAILED(result)) {
        return result;
    }
    BITMAP image{};
    GetObjectA(bitmap, sizeof(image), &image);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    texture->GetSurfaceDesc(&desc);

    IDirectDrawSurface7* staging = nullptr;
    result = CreateStagingSurface(directDraw, desc, static_cast<DWORD>(image.bmWidth),
                                  static_cast<DWORD>(image.bmHeight), &staging);
    if (FAILED(result)) {
        directDraw->Release();
        return result;
    }
    HDC bitmapDc = CreateCompatibleDC(nullptr);
    if (bitmapDc == nullptr) {
        staging->Release();
        directDraw->Release();
        return S_OK; // the texture stays unfilled; drawing with it is no error
    }
    SelectObject(bitmapDc, bitmap);
    if (desc.ddpfPixelFormat.dwRGBBitCount == 8) {
        AttachColorTablePalette(directDraw, bitmapDc, flags, staging, texture);
    }
    HDC stagingDc = nullptr;
    if (SUCCEEDED(staging->GetDC(&stagingDc))) {
        BitBlt(stagingDc, 0, 0, image.bmWidth, image.bmHeight, bitmapDc, 0, 0, SRCCOPY);
        staging->ReleaseDC(stagingDc);
    }
    DeleteDC(bitmapDc);
    texture->Blt(nullptr, staging, nullptr, DDBLT_WAIT, nullptr);
    staging->Release();

    if (desc.ddpfPixelFormat.dwRGBAlphaBitMask != 0 && (flags & TRANSPARENCY_FLAGS)) {
        ApplyColorKeyAlpha(texture, flags);
    }
    directDraw->Release();
    return S_OK;
}
