// The DirectDraw object: cooperative level, virtual display modes, capabilities, clippers,
// palettes and the list of live surfaces. Surface creation is in surface_create.cpp.
#include "platform/ddraw/direct_draw.h"

#include <algorithm>

#include "platform/ddraw/clipper.h"
#include "platform/ddraw/palette.h"
#include "platform/ddraw/surface.h"
#include "platform/ddraw/window_mode.h"

namespace ddraw {

namespace {

// The head of the chain of live objects. A plain pointer, not a container: it has no destructor,
// so it outlives every clean-up at process exit, and an object released from one of those (the
// texture store's, say, letting go of the last surface) can still unlink itself.
constinit DirectDraw* firstLive = nullptr;

// The one object that holds exclusive mode in this process, if any.
DirectDraw*& ExclusiveOwner() {
    static DirectDraw* owner = nullptr;
    return owner;
}

bool SameMode(const DDSURFACEDESC2& a, const DDSURFACEDESC2& b) {
    return a.dwWidth == b.dwWidth && a.dwHeight == b.dwHeight &&
           a.ddpfPixelFormat.dwRGBBitCount == b.ddpfPixelFormat.dwRGBBitCount;
}

bool ModeMatches(const DDSURFACEDESC2& mode, const DDSURFACEDESC2* filter) {
    if (filter == nullptr) {
        return true;
    }
    if ((filter->dwFlags & DDSD_WIDTH) != 0 && filter->dwWidth != mode.dwWidth) {
        return false;
    }
    if ((filter->dwFlags & DDSD_HEIGHT) != 0 && filter->dwHeight != mode.dwHeight) {
        return false;
    }
    if ((filter->dwFlags & DDSD_REFRESHRATE) != 0 && filter->dwRefreshRate != mode.dwRefreshRate) {
        return false;
    }
    if ((filter->dwFlags & DDSD_PIXELFORMAT) != 0 &&
        filter->ddpfPixelFormat.dwRGBBitCount != mode.ddpfPixelFormat.dwRGBBitCount) {
        return false;
    }
    return true;
}

// A mode record as the program reads it: size, pitch, pixel format and refresh rate filled in.
DDSURFACEDESC2 NormalisedMode(const DDSURFACEDESC2& mode) {
    DDSURFACEDESC2 out = mode;
    out.dwSize = sizeof(DDSURFACEDESC2);
    out.dwFlags |= DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
    out.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    out.lPitch =
        PitchFor(mode.dwWidth, static_cast<int>((mode.ddpfPixelFormat.dwRGBBitCount + 7) / 8));
    out.lpSurface.token = 0;
    return out;
}

} // namespace

DirectDraw::DirectDraw(std::shared_ptr<host::Driver> driver)
    : driver_(std::move(driver)), nextLive_(firstLive) {
    firstLive = this;
}

DirectDraw::~DirectDraw() {
    LeaveExclusiveMode();
    DirectDraw** link = &firstLive;
    while (*link != nullptr && *link != this) {
        link = &(*link)->nextLive_;
    }
    if (*link == this) {
        *link = nextLive_;
    }
}

DirectDraw* DirectDraw::FirstLive() {
    return firstLive;
}

HRESULT DirectDraw::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (riid == IID_IUnknown || riid == IID_IDirectDraw7) {
        AddRef();
        *object = static_cast<IDirectDraw7*>(this);
        return S_OK;
    }
    if (riid == IID_IDirect3D7) {
        if (HRESULT failure = driver_->failures.queryDirect3D; failure != DD_OK) {
            return failure;
        }
        if (driver_->direct3D == nullptr) {
            return E_NOINTERFACE;
        }
        *object = driver_->direct3D(this);
        return S_OK;
    }
    return E_NOINTERFACE;
}

// ---- Cooperative level and display modes -------------------------------------------------------

HRESULT DirectDraw::SetCooperativeLevel(HWND window, DWORD flags) {
    if (HRESULT failure = driver_->failures.setCooperativeLevel; failure != DD_OK) {
        return failure;
    }
    const bool normal = (flags & DDSCL_NORMAL) != 0;
    const bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
    const bool fullscreen = (flags & DDSCL_FULLSCREEN) != 0;
    if (normal == exclusive || exclusive != fullscreen) {
        return DDERR_INVALIDPARAMS;
    }
    if (exclusive) {
        if (window == nullptr) {
            return DDERR_INVALIDPARAMS;
        }
        DirectDraw*& owner = ExclusiveOwner();
        if (owner != nullptr && owner != this) {
            return DDERR_EXCLUSIVEMODEALREADYSET;
        }
        if (exclusive_ && window_ != window) {
            SetWindowExclusive(window_, false);
        }
        owner = this;
        exclusive_ = true;
        window_ = window;
        cooperativeFlags_ = flags;
        SetWindowExclusive(window, true);
        return DD_OK;
    }
    LeaveExclusiveMode();
    window_ = window;
    cooperativeFlags_ = flags;
    return DD_OK;
}

void DirectDraw::LeaveExclusiveMode() {
    if (!exclusive_) {
        return;
    }
    RestoreDisplayMode();
    SetWindowExclusive(window_, false);
    exclusive_ = false;
    if (ExclusiveOwner() == this) {
        ExclusiveOwner() = nullptr;
    }
}

HRESULT DirectDraw::TestCooperativeLevel() {
    if (HRESULT failure = driver_->failures.testCooperativeLevel; failure != DD_OK) {
        return failure;
    }
    if (cooperativeFlags_ == 0) {
        return DDERR_NOCOOPERATIVELEVELSET;
    }
    if (!exclusive_ && ExclusiveOwner() != nullptr) {
        return DDERR_EXCLUSIVEMODEALREADYSET;
    }
    return DD_OK;
}

const DDSURFACEDESC2& DirectDraw::CurrentMode() const {
    return exclusive_ && modeSet_ ? mode_ : driver_->desktopMode;
}

HRESULT DirectDraw::GetDisplayMode(DDSURFACEDESC2* mode) {
    if (mode == nullptr || mode->dwSize != sizeof(DDSURFACEDESC2)) {
        return DDERR_INVALIDPARAMS;
    }
    *mode = NormalisedMode(CurrentMode());
    return DD_OK;
}

HRESULT DirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate,
                                   DWORD) {
    if (HRESULT failure = driver_->failures.setDisplayMode; failure != DD_OK) {
        return failure;
    }
    if (!exclusive_) {
        return DDERR_NOEXCLUSIVEMODE;
    }
    for (const DDSURFACEDESC2& mode : driver_->modes) {
        if (mode.dwWidth == width && mode.dwHeight == height &&
            mode.ddpfPixelFormat.dwRGBBitCount == bitsPerPixel &&
            (refreshRate == 0 || mode.dwRefreshRate == 0 || mode.dwRefreshRate == refreshRate)) {
            // Surfaces made in another mode are lost, as they are when a real mode changes.
            if (!SameMode(mode, CurrentMode())) {
                LoseSurfaces();
            }
            mode_ = mode;
            modeSet_ = true;
            return DD_OK;
        }
    }
    return DDERR_INVALIDMODE;
}

HRESULT DirectDraw::RestoreDisplayMode() {
    if (modeSet_) {
        if (!SameMode(mode_, driver_->desktopMode)) {
            LoseSurfaces();
        }
        modeSet_ = false;
    }
    return DD_OK;
}

HRESULT DirectDraw::EnumDisplayModes(DWORD, DDSURFACEDESC2* filter, LPVOID context,
                                     LPDDENUMMODESCALLBACK2 callback) {
    if (callback == nullptr || (filter != nullptr && filter->dwSize != sizeof(DDSURFACEDESC2))) {
        return DDERR_INVALIDPARAMS;
    }
    // A copy of the list: the callback may do anything, including installing other drivers.
    const std::vector<DDSURFACEDESC2> modes = driver_->modes;
    for (const DDSURFACEDESC2& mode : modes) {
        if (!ModeMatches(mode, filter)) {
            continue;
        }
        DDSURFACEDESC2 copy = NormalisedMode(mode);
        if (callback(&copy, context) == DDENUMRET_CANCEL) {
            break;
        }
    }
    return DD_OK;
}

HRESULT DirectDraw::GetCaps(DDCAPS* driverCaps, DDCAPS* emulationCaps) {
    if (driverCaps == nullptr && emulationCaps == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    for (DDCAPS* caps : {driverCaps, emulationCaps}) {
        if (caps != nullptr && caps->dwSize != sizeof(DDCAPS)) {
            return DDERR_INVALIDPARAMS;
        }
    }
    if (driverCaps != nullptr) {
        *driverCaps = driver_->halCaps;
        driverCaps->dwSize = sizeof(DDCAPS);
    }
    if (emulationCaps != nullptr) {
        *emulationCaps = driver_->helCaps;
        emulationCaps->dwSize = sizeof(DDCAPS);
    }
    return DD_OK;
}

// ---- Clippers and palettes ---------------------------------------------------------------------

HRESULT DirectDraw::CreateClipper(DWORD, IDirectDrawClipper** clipper, IUnknown* outer) {
    if (clipper == nullptr || outer != nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *clipper = new Clipper(this);
    return DD_OK;
}

HRESULT DirectDraw::CreatePalette(DWORD flags, PALETTEENTRY* entries, IDirectDrawPalette** palette,
                                  IUnknown* outer) {
    if (palette == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *palette = nullptr;
    if (entries == nullptr || outer != nullptr || Palette::EntryCount(flags) == 0) {
        return DDERR_INVALIDPARAMS;
    }
    *palette = new Palette(this, flags, entries);
    return DD_OK;
}

// ---- Surfaces, loss and presentation -----------------------------------------------------------

void DirectDraw::AddSurface(Surface* surface) {
    surfaces_.push_back(surface);
}

void DirectDraw::RemoveSurface(Surface* surface) {
    surfaces_.erase(std::remove(surfaces_.begin(), surfaces_.end(), surface), surfaces_.end());
}

void DirectDraw::ForgetPrimary(Surface* primary) {
    if (primary_ == primary) {
        primary_ = nullptr;
    }
}

void DirectDraw::LoseSurfaces() {
    for (Surface* surface : surfaces_) {
        surface->MarkLost();
    }
}

HRESULT DirectDraw::RestoreAllSurfaces() {
    for (Surface* surface : surfaces_) {
        surface->MarkRestored();
    }
    return DD_OK;
}

// The GDI surface is the window system's own: dialogs are windows of their own here, so there
// is nothing to flip.
HRESULT DirectDraw::FlipToGDISurface() {
    return DD_OK;
}

HRESULT DirectDraw::WaitForVerticalBlank(DWORD, HANDLE) {
    return DD_OK;
}

} // namespace ddraw

namespace host {

void LoseAllSurfaces() {
    for (ddraw::DirectDraw* directDraw = ddraw::DirectDraw::FirstLive(); directDraw != nullptr;
         directDraw = directDraw->NextLive()) {
        directDraw->LoseSurfaces();
    }
}

} // namespace host
