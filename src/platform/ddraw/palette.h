// DirectDraw palettes: 16 or 256 entries, optionally with alpha in the entries' flags.
#pragma once

#include <cstdint>

#include "platform/ddraw/ddraw.h"
#include "platform/win32/com_object.h"

namespace ddraw {

class DirectDraw;

class Palette final : public ComObject<IDirectDrawPalette> {
public:
    // `entries` must hold EntryCount(caps) entries; `owner` is held.
    Palette(DirectDraw* owner, DWORD caps, const PALETTEENTRY* entries);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    HRESULT GetCaps(DWORD* caps) override;
    HRESULT GetEntries(DWORD flags, DWORD base, DWORD count, PALETTEENTRY* entries) override;
    HRESULT SetEntries(DWORD flags, DWORD base, DWORD count, PALETTEENTRY* entries) override;

    // Always 256 entries; those past a 16-entry palette's size are black.
    const PALETTEENTRY* Entries() const { return entries_; }
    bool HasAlpha() const { return (caps_ & DDPCAPS_ALPHA) != 0; }
    uint64_t Version() const { return version_; }

    // 16 or 256, or 0 when the caps name neither size.
    static DWORD EntryCount(DWORD caps);

private:
    ~Palette() override;

    DirectDraw* owner_;
    DWORD caps_;
    DWORD count_;
    PALETTEENTRY entries_[256]{};
    uint64_t version_;
};

Palette* PaletteFromInterface(IDirectDrawPalette* palette);

} // namespace ddraw
