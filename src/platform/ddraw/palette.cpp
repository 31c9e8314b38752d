// DirectDraw palettes.
#include "platform/ddraw/palette.h"

#include <cstring>

#include "platform/ddraw/direct_draw.h"
#include "platform/ddraw/surface.h"

namespace ddraw {

Palette::Palette(DirectDraw* owner, DWORD caps, const PALETTEENTRY* entries)
    : owner_(owner), caps_(caps), count_(EntryCount(caps)), version_(NextContentVersion()) {
    owner_->AddRef();
    std::memcpy(entries_, entries, count_ * sizeof(PALETTEENTRY));
}

Palette::~Palette() {
    owner_->Release();
}

DWORD Palette::EntryCount(DWORD caps) {
    if ((caps & DDPCAPS_8BIT) != 0) {
        return 256;
    }
    if ((caps & DDPCAPS_4BIT) != 0) {
        return 16;
    }
    return 0;
}

HRESULT Palette::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IDirectDrawPalette) {
        AddRef();
        *object = static_cast<IDirectDrawPalette*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT Palette::GetCaps(DWORD* caps) {
    if (caps == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *caps = caps_;
    return DD_OK;
}

HRESULT Palette::GetEntries(DWORD, DWORD base, DWORD count, PALETTEENTRY* entries) {
    if (entries == nullptr || base > count_ || count > count_ - base) {
        return DDERR_INVALIDPARAMS;
    }
    std::memcpy(entries, entries_ + base, count * sizeof(PALETTEENTRY));
    return DD_OK;
}

HRESULT Palette::SetEntries(DWORD, DWORD base, DWORD count, PALETTEENTRY* entries) {
    if (entries == nullptr || base > count_ || count > count_ - base) {
        return DDERR_INVALIDPARAMS;
    }
    std::memcpy(entries_ + base, entries, count * sizeof(PALETTEENTRY));
    version_ = NextContentVersion();
    return DD_OK;
}

Palette* PaletteFromInterface(IDirectDrawPalette* palette) {
    return dynamic_cast<Palette*>(palette);
}

} // namespace ddraw
