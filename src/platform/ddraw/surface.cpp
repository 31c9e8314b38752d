// DirectDraw surfaces: reference counting, attachments, locking, blits, flips and device
// contexts. Sections: life cycle · attachments · description and locking · blit and flip ·
// device contexts · palette and clipper · loss · helpers for the platform.
#include "platform/ddraw/surface.h"

#include <algorithm>
#include <cstring>

#include "platform/ddraw/blit.h"
#include "platform/ddraw/clipper.h"
#include "platform/ddraw/direct_draw.h"
#include "platform/ddraw/palette.h"
#include "platform/ddraw/present.h"
#include "platform/win32/gdi_surface_dc.h"

namespace ddraw {

namespace {

// Back buffers that outlived their primary because the program still holds them (the program
// takes one reference more than it gives back). Keeping them listed leaves them reachable for
// leak checkers at exit; each is freed when its last reference goes. The list itself is never
// destroyed, so that it is still there when those checkers look.
std::vector<Surface*>& Shells() {
    static auto* shells = new std::vector<Surface*>;
    return *shells;
}

// What an 8-bit surface without a palette reads as in a device context: all black.
const PALETTEENTRY* BlackPalette() {
    static const PALETTEENTRY black[256] = {};
    return black;
}

bool ValidDescSize(const DDSURFACEDESC2* desc) {
    return desc != nullptr && desc->dwSize == sizeof(DDSURFACEDESC2);
}

} // namespace

uint64_t NextContentVersion() {
    static uint64_t counter = 0;
    return ++counter;
}

LONG PitchFor(DWORD width, int bytesPerPixel) {
    const uint64_t bytes = uint64_t{width} * static_cast<uint64_t>(bytesPerPixel);
    return static_cast<LONG>((bytes + 7) & ~uint64_t{7});
}

// ---- Life cycle --------------------------------------------------------------------------------

Surface::Surface(DirectDraw* owner, const DDSURFACEDESC2& desc, const PixelLayout& layout,
                 LONG pitch)
    : owner_(owner), desc_(desc), layout_(layout), pitch_(pitch),
      memory_(size_t(pitch) * desc.dwHeight, 0), version_(NextContentVersion()) {
    desc_.dwSize = sizeof(DDSURFACEDESC2);
    desc_.dwFlags |= DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc_.lPitch = pitch;
    desc_.lpSurface.token = 0;
    desc_.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    owner_->AddRef();
    owner_->AddSurface(this);
}

Surface::~Surface() {
    // Back buffers die with their primary unless the program still holds them.
    for (Surface* member : chainMembers_) {
        member->chainRoot_ = nullptr;
        if (member->refs_ == 0) {
            delete member;
        } else {
            member->BecomeShell();
        }
    }
    chainMembers_.clear();
    linked_.clear();
    ReleaseHeld();
    if (owner_ != nullptr) {
        owner_->RemoveSurface(this);
        owner_->ForgetPrimary(this);
        owner_->Release();
        owner_ = nullptr;
    }
    auto& shells = Shells();
    shells.erase(std::remove(shells.begin(), shells.end(), this), shells.end());
}

void Surface::ReleaseHeld() {
    if (locked_) {
        ReleaseSurfaceAddress(lockToken_);
        locked_ = false;
        lockToken_ = 0;
    }
    if (dc_ != nullptr) {
        DeleteSurfaceDC(dc_);
        dc_ = nullptr;
    }
    for (Surface* surface : attached_) {
        surface->Release();
    }
    attached_.clear();
    if (palette_ != nullptr) {
        palette_->Release();
        palette_ = nullptr;
    }
    if (clipper_ != nullptr) {
        clipper_->Release();
        clipper_ = nullptr;
    }
    data_.clear();
}

void Surface::BecomeShell() {
    linked_.clear();
    ReleaseHeld();
    std::vector<BYTE>().swap(memory_);
    lost_ = true;
    if (owner_ != nullptr) {
        owner_->RemoveSurface(this);
        owner_->Release();
        owner_ = nullptr;
    }
    Shells().push_back(this);
}

HRESULT Surface::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IDirectDrawSurface7) {
        AddRef();
        *object = static_cast<IDirectDrawSurface7*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG Surface::AddRef() {
    return ++refs_;
}

ULONG Surface::Release() {
    if (refs_ == 0) {
        return 0; // an unheld back buffer: its primary owns it
    }
    const ULONG left = --refs_;
    if (left == 0 && chainRoot_ == nullptr) {
        delete this;
    }
    return left;
}

HRESULT Surface::CheckUsable() const {
    if (owner_ == nullptr || lost_) {
        return DDERR_SURFACELOST;
    }
    return DD_OK;
}

// ---- Attachments -------------------------------------------------------------------------------

void Surface::AddChainMember(Surface* member, Surface* linkedFrom) {
    member->chainRoot_ = this;
    member->refs_ = 0;
    chainMembers_.push_back(member);
    linkedFrom->linked_.push_back(member);
}

Surface* Surface::FirstBackBuffer() const {
    for (Surface* surface : linked_) {
        if ((surface->Caps() & DDSCAPS_BACKBUFFER) != 0) {
            return surface;
        }
    }
    return nullptr;
}

Surface* Surface::AttachedZBuffer() const {
    for (Surface* surface : attached_) {
        if ((surface->Caps() & DDSCAPS_ZBUFFER) != 0) {
            return surface;
        }
    }
    return nullptr;
}

HRESULT Surface::GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface7** attached) {
    if (caps == nullptr || attached == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *attached = nullptr;
    if (owner_ == nullptr) {
        return DDERR_SURFACELOST;
    }
    auto matches = [caps](const Surface* surface) {
        const DDSCAPS2& has = surface->desc_.ddsCaps;
        return (has.dwCaps & caps->dwCaps) == caps->dwCaps &&
               (has.dwCaps2 & caps->dwCaps2) == caps->dwCaps2;
    };
    for (const auto* list : {&linked_, &attached_}) {
        for (Surface* surface : *list) {
            if (matches(surface)) {
                surface->AddRef();
                *attached = surface;
                return DD_OK;
            }
        }
    }
    return DDERR_NOTFOUND;
}

HRESULT Surface::AddAttachedSurface(IDirectDrawSurface7* surface) {
    Surface* other = SurfaceFromInterface(surface);
    if (other == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    if (CheckUsable() != DD_OK || other->CheckUsable() != DD_OK) {
        return DDERR_SURFACELOST;
    }
    // Only z-buffers are attached by hand, to a colour surface of their own size and driver.
    if (other == this || (other->Caps() & DDSCAPS_ZBUFFER) == 0 ||
        (Caps() & DDSCAPS_ZBUFFER) != 0 || other->owner_ != owner_ || other->Width() != Width() ||
        other->Height() != Height()) {
        return DDERR_CANNOTATTACHSURFACE;
    }
    if (AttachedZBuffer() != nullptr) {
        return DDERR_SURFACEALREADYATTACHED;
    }
    other->AddRef();
    attached_.push_back(other);
    return DD_OK;
}

HRESULT Surface::DeleteAttachedSurface(DWORD, IDirectDrawSurface7* surface) {
    if (surface == nullptr) {
        ReleaseAttached();
        return DD_OK;
    }
    Surface* other = SurfaceFromInterface(surface);
    auto found = std::find(attached_.begin(), attached_.end(), other);
    if (found != attached_.end()) {
        attached_.erase(found);
        other->Release();
        return DD_OK;
    }
    if (std::find(linked_.begin(), linked_.end(), other) != linked_.end()) {
        return DDERR_CANNOTDETACHSURFACE;
    }
    return DDERR_SURFACENOTATTACHED;
}

void Surface::ReleaseAttached() {
    std::vector<Surface*> attached;
    attached.swap(attached_);
    for (Surface* surface : attached) {
        surface->Release();
    }
}

// ---- Description and locking -------------------------------------------------------------------

HRESULT Surface::GetSurfaceDesc(DDSURFACEDESC2* desc) {
    if (!ValidDescSize(desc)) {
        return DDERR_INVALIDPARAMS;
    }
    *desc = desc_;
    return DD_OK;
}

HRESULT Surface::GetPixelFormat(DDPIXELFORMAT* format) {
    if (format == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *format = desc_.ddpfPixelFormat;
    return DD_OK;
}

HRESULT Surface::Lock(RECT* rect, DDSURFACEDESC2* desc, DWORD flags, HANDLE) {
    if (!ValidDescSize(desc)) {
        return DDERR_INVALIDPARAMS;
    }
    if (HRESULT usable = CheckUsable(); usable != DD_OK) {
        return usable;
    }
    if (locked_ || dc_ != nullptr) {
        return DDERR_SURFACEBUSY;
    }
    RECT whole{0, 0, Width(), Height()};
    const RECT area = rect != nullptr ? *rect : whole;
    if (!RectInside(area, Width(), Height())) {
        return DDERR_INVALIDRECT;
    }
    SyncForRead();
    BYTE* address = memory_.data() + size_t(area.top) * pitch_ +
                    size_t(area.left) * static_cast<size_t>(layout_.bytesPerPixel);
    lockToken_ = RegisterSurfaceAddress(address);
    locked_ = true;
    lockReadOnly_ = (flags & DDLOCK_READONLY) != 0;
    *desc = desc_;
    desc->dwFlags |= DDSD_LPSURFACE;
    desc->lpSurface.token = lockToken_;
    return DD_OK;
}

HRESULT Surface::Unlock(RECT*) {
    if (!locked_) {
        return DDERR_NOTLOCKED;
    }
    ReleaseSurfaceAddress(lockToken_);
    lockToken_ = 0;
    locked_ = false;
    if (!lockReadOnly_) {
        MarkWritten();
    }
    return DD_OK;
}

// ---- Blit and flip -----------------------------------------------------------------------------

HRESULT Surface::Blt(RECT* destinationRect, IDirectDrawSurface7* source, RECT* sourceRect,
                     DWORD flags, DDBLTFX* effects) {
    if (HRESULT usable = CheckUsable(); usable != DD_OK) {
        return usable;
    }
    if (locked_ || dc_ != nullptr) {
        return DDERR_SURFACEBUSY;
    }
    const RECT whole{0, 0, Width(), Height()};
    if ((flags & DDBLT_COLORFILL) != 0) {
        if (effects == nullptr) {
            return DDERR_INVALIDPARAMS;
        }
        const RECT area = destinationRect != nullptr ? *destinationRect : whole;
        if (!RectInside(area, Width(), Height())) {
            return DDERR_INVALIDRECT;
        }
        SyncForRead();
        FillPixels(*this, area, effects->dwFillColor);
        MarkWritten();
        return DD_OK;
    }
    Surface* from = SurfaceFromInterface(source);
    if (from == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    if (HRESULT usable = from->CheckUsable(); usable != DD_OK) {
        return usable;
    }
    if (from->locked_ || from->dc_ != nullptr) {
        return DDERR_SURFACEBUSY;
    }
    const RECT sourceWhole{0, 0, from->Width(), from->Height()};
    const RECT sourceArea = sourceRect != nullptr ? *sourceRect : sourceWhole;
    if (!RectInside(sourceArea, from->Width(), from->Height())) {
        return DDERR_INVALIDRECT;
    }

    // A blit to the primary surface presents: the window shows the whole source scaled to its
    // client area, whatever screen rectangle the caller computed for it.
    if ((Caps() & DDSCAPS_PRIMARYSURFACE) != 0) {
        if (HRESULT failure = owner_->Driver().failures.present; failure != DD_OK) {
            return failure;
        }
        PresentRequest request;
        request.window = clipper_ != nullptr && clipper_->Window() != nullptr
                             ? clipper_->Window()
                             : owner_->CooperativeWindow();
        return PresentSurface(*from, request);
    }

    const RECT area = destinationRect != nullptr ? *destinationRect : whole;
    if (!RectInside(area, Width(), Height())) {
        return DDERR_INVALIDRECT;
    }
    from->SyncForRead();
    if (from != this &&
        (area.left != 0 || area.top != 0 || area.right != Width() || area.bottom != Height())) {
        SyncForRead();
    }
    if (HRESULT result = BlitPixels(*this, area, *from, sourceArea); result != DD_OK) {
        return result;
    }
    MarkWritten();
    return DD_OK;
}

HRESULT Surface::Flip(IDirectDrawSurface7* target, DWORD) {
    if (HRESULT usable = CheckUsable(); usable != DD_OK) {
        return usable;
    }
    Surface* back = FirstBackBuffer();
    if ((Caps() & DDSCAPS_FLIP) == 0 || chainRoot_ != nullptr || back == nullptr) {
        return DDERR_NOTFLIPPABLE;
    }
    if (target != nullptr) {
        Surface* wanted = SurfaceFromInterface(target);
        if (std::find(chainMembers_.begin(), chainMembers_.end(), wanted) == chainMembers_.end()) {
            return DDERR_INVALIDPARAMS;
        }
    }
    if (back->lost_) {
        return DDERR_SURFACELOST;
    }
    if (HRESULT failure = owner_->Driver().failures.present; failure != DD_OK) {
        return failure;
    }
    // The chain presents its first back buffer and keeps rendering into it: the device's target
    // stays where it is, and the program clears every frame, so nothing needs to swap.
    PresentRequest request;
    request.window = owner_->CooperativeWindow();
    request.fullscreen = true;
    return PresentSurface(*back, request);
}

// ---- Device contexts ---------------------------------------------------------------------------

HRESULT Surface::GetDC(HDC* dc) {
    if (dc == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *dc = nullptr;
    if (HRESULT usable = CheckUsable(); usable != DD_OK) {
        return usable;
    }
    if (locked_ || dc_ != nullptr) {
        return DDERR_SURFACEBUSY;
    }
    if (layout_.depth) {
        return DDERR_CANTCREATEDC;
    }
    SyncForRead();
    PixelView view;
    view.bits = memory_.data();
    view.width = Width();
    view.height = Height();
    view.pitch = pitch_;
    view.bitCount = static_cast<DWORD>(layout_.bytesPerPixel * 8);
    view.redMask = layout_.red.mask;
    view.greenMask = layout_.green.mask;
    view.blueMask = layout_.blue.mask;
    view.alphaMask = layout_.alpha.mask;
    if (layout_.palettised) {
        view.palette = palette_ != nullptr ? palette_->Entries() : BlackPalette();
    }
    HDC created = CreateSurfaceDC(view);
    if (created == nullptr) {
        return DDERR_CANTCREATEDC;
    }
    dc_ = created;
    *dc = created;
    return DD_OK;
}

HRESULT Surface::ReleaseDC(HDC dc) {
    if (dc_ == nullptr || dc != dc_) {
        return DDERR_NODC;
    }
    DeleteSurfaceDC(dc_);
    dc_ = nullptr;
    MarkWritten();
    return DD_OK;
}

// ---- Palette and clipper -----------------------------------------------------------------------

HRESULT Surface::SetPalette(IDirectDrawPalette* palette) {
    if (HRESULT usable = CheckUsable(); usable != DD_OK) {
        return usable;
    }
    Palette* next = nullptr;
    if (palette != nullptr) {
        next = PaletteFromInterface(palette);
        if (next == nullptr) {
            return DDERR_INVALIDPARAMS;
        }
        if (!layout_.palettised) {
            return DDERR_INVALIDPIXELFORMAT;
        }
    }
    if (dc_ != nullptr) {
        return DDERR_SURFACEBUSY; // the open device context reads the palette's entries
    }
    if (next != nullptr) {
        next->AddRef();
    }
    if (palette_ != nullptr) {
        palette_->Release();
    }
    palette_ = next;
    version_ = NextContentVersion();
    return DD_OK;
}

HRESULT Surface::GetPalette(IDirectDrawPalette** palette) {
    if (palette == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *palette = palette_;
    if (palette_ == nullptr) {
        return DDERR_NOPALETTEATTACHED;
    }
    palette_->AddRef();
    return DD_OK;
}

HRESULT Surface::SetClipper(IDirectDrawClipper* clipper) {
    if (owner_ == nullptr) {
        return DDERR_SURFACELOST;
    }
    Clipper* next = nullptr;
    if (clipper != nullptr) {
        next = ClipperFromInterface(clipper);
        if (next == nullptr) {
            return DDERR_INVALIDPARAMS;
        }
        next->AddRef();
    }
    if (clipper_ != nullptr) {
        clipper_->Release();
    }
    clipper_ = next;
    return DD_OK;
}

HRESULT Surface::GetClipper(IDirectDrawClipper** clipper) {
    if (clipper == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *clipper = clipper_;
    if (clipper_ == nullptr) {
        return DDERR_NOCLIPPERATTACHED;
    }
    clipper_->AddRef();
    return DD_OK;
}

HRESULT Surface::GetDDInterface(LPVOID* directDraw) {
    if (directDraw == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *directDraw = nullptr;
    if (owner_ == nullptr) {
        return DDERR_SURFACELOST;
    }
    owner_->AddRef();
    *directDraw = static_cast<IDirectDraw7*>(owner_);
    return DD_OK;
}

// ---- Loss --------------------------------------------------------------------------------------

HRESULT Surface::IsLost() {
    return CheckUsable();
}

HRESULT Surface::Restore() {
    if (owner_ == nullptr) {
        return DDERR_SURFACELOST;
    }
    MarkRestored();
    for (Surface* member : chainMembers_) {
        member->MarkRestored();
    }
    return DD_OK;
}

void Surface::MarkRestored() {
    if (owner_ != nullptr) {
        lost_ = false;
    }
}

// ---- Helpers for the platform ------------------------------------------------------------------

uint64_t Surface::ContentVersion() const {
    const uint64_t paletteVersion = palette_ != nullptr ? palette_->Version() : 0;
    return std::max(version_, paletteVersion);
}

void Surface::SyncForRead() {
    if (backing_ != nullptr) {
        backing_->PullPixels(*this);
    }
}

void Surface::MarkWritten() {
    version_ = NextContentVersion();
    if (backing_ != nullptr) {
        backing_->PushPixels(*this);
    }
}

SurfaceData* Surface::FindData(const void* key) const {
    for (const auto& [owner, data] : data_) {
        if (owner == key) {
            return data.get();
        }
    }
    return nullptr;
}

void Surface::SetData(const void* key, std::unique_ptr<SurfaceData> data) {
    for (auto& entry : data_) {
        if (entry.first == key) {
            entry.second = std::move(data);
            return;
        }
    }
    data_.emplace_back(key, std::move(data));
}

Surface* SurfaceFromInterface(IDirectDrawSurface7* surface) {
    return dynamic_cast<Surface*>(surface);
}

} // namespace ddraw
