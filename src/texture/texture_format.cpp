// The texture-format enumeration callback: the first acceptable format in the device's listing
// order wins.
#include "texture/texture_surfaces.h"

namespace {

// Formats that carry something other than colour in their channels.
constexpr DWORD NON_COLOR_FORMATS = DDPF_LUMINANCE | DDPF_BUMPLUMINANCE | DDPF_BUMPDUDV;
// 16-bit formats with four alpha bits lose too much colour to be used.
constexpr DWORD ALPHA_MASK_4444 = 0xF000;

bool Acceptable(const DDPIXELFORMAT& format, const TextureFormatQuery& query) {
    if (format.dwFlags & NON_COLOR_FORMATS) {
        return false;
    }
    if (query.palettized) {
        return (format.dwFlags & DDPF_PALETTEINDEXED8) != 0;
    }
    if (format.dwRGBBitCount < 16 || format.dwFourCC != 0 ||
        format.dwRGBAlphaBitMask == ALPHA_MASK_4444) {
        return false;
    }
    const bool hasAlpha = (format.dwFlags & DDPF_ALPHAPIXELS) != 0;
    if (hasAlpha != (query.alpha != FALSE)) {
        return false;
    }
    return format.dwRGBBitCount == query.bitsPerPixel;
}

} // namespace

HRESULT AcceptTextureFormat(DDPIXELFORMAT* format, LPVOID context) {
    auto* query = static_cast<TextureFormatQuery*>(context);
    if (format == nullptr || query == nullptr || !Acceptable(*format, *query)) {
        return D3DENUMRET_OK;
    }
    if (query->format != nullptr) {
        *query->format = *format;
    }
    query->found = TRUE;
    return D3DENUMRET_CANCEL;
}
