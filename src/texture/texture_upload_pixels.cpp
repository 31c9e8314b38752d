// Filling a texture from a TGA image's 0xRRGGBBAA words: each byte is narrowed to its channel's
// width and moved to its place by the channel's mask, in a staging surface of the image's size
// that is then blitted (stretched) onto the texture.
#include <algorithm>
#include <bit>
#include <cstring>

#include "texture/texture_staging.h"
#include "texture/texture_surfaces.h"

namespace {

// Where a channel's byte goes: shifted right to the channel's width, then left to its place.
// Channels wider than 8 bits (a negative right shift) are widened by shifting left instead.
struct ChannelShift {
    DWORD mask = 0;
    int left = 0;
    int right = 8;

    explicit ChannelShift(DWORD channelMask) : mask(channelMask) {
        if (mask != 0) {
            left = std::countr_zero(mask);
            const int highest = 31 - std::countl_zero(mask);
            right = 8 - (highest - left + 1);
        }
    }

    DWORD Place(DWORD byte) const {
        const DWORD narrowed = right >= 0 ? byte >> right : byte << -right;
        return (narrowed << left) & mask;
    }
};

void ConvertPixels(const DDSURFACEDESC2& desc, const DWORD* pixels, DWORD width, DWORD height) {
    const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
    const ChannelShift red(format.dwRBitMask), green(format.dwGBitMask), blue(format.dwBBitMask),
        alpha(format.dwRGBAlphaBitMask);
    const DWORD bitCount = format.dwRGBBitCount;
    auto* bits = static_cast<BYTE*>(desc.lpSurface);
    // Only the staging surface's own rows and columns are written, whatever the image claims.
    const DWORD rows = std::min(height, desc.dwHeight);
    const DWORD columns = std::min(width, desc.dwWidth);
    for (DWORD y = 0; y < rows; ++y) {
        BYTE* row = bits + static_cast<ptrdiff_t>(y) * desc.lPitch;
        const DWORD* source = pixels + static_cast<size_t>(y) * width;
        for (DWORD x = 0; x < columns; ++x) {
            const DWORD word = source[x];
            const DWORD value = red.Place(word >> 24) + green.Place((word >> 16) & 0xFF) +
                                blue.Place((word >> 8) & 0xFF) + alpha.Place(word & 0xFF);
            if (bitCount == 32) {
                std::memcpy(row + 4 * x, &value, 4);
            } else if (bitCount == 24) {
                // Three bytes a pixel: storing 16 bits here would leave every pixel wrong.
                std::memcpy(row + 3 * x, &value, 3);
            } else {
                const WORD low = static_cast<WORD>(value);
                std::memcpy(row + 2 * x, &low, 2);
            }
        }
    }
}

} // namespace

HRESULT CopyPixelsToSurface(IDirectDrawSurface7* texture, const DWORD* pixels, DWORD width,
                            DWORD height) {
    if (texture == nullptr || pixels == nullptr) {
        return E_INVALIDARG;
    }
    IDirectDraw7* directDraw = nullptr;
    HRESULT result = texture->GetDDInterface(reinterpret_cast<LPVOID*>(&directDraw));
    if (FAILED(result)) {
        return result;
    }
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    texture->GetSurfaceDesc(&desc);
    IDirectDrawSurface7* staging = nullptr;
    if (FAILED(CreateStagingSurface(directDraw, desc, width, height, &staging))) {
        directDraw->Release();
        return S_OK; // the texture stays unfilled
    }
    DDSURFACEDESC2 locked;
    if (SUCCEEDED(LockWholeSurface(staging, locked))) {
        // Formats below 16 bits cannot hold these words; they are left alone.
        if (locked.lpSurface.Get() != nullptr && locked.ddpfPixelFormat.dwRGBBitCount >= 16) {
            ConvertPixels(locked, pixels, width, height);
        }
        staging->Unlock(nullptr);
        texture->Blt(nullptr, staging, nullptr, DDBLT_WAIT, nullptr);
    }
    staging->Release();
    directDraw->Release();
    return S_OK;
}
