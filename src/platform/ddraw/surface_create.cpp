// IDirectDraw7::CreateSurface: checking a surface description and making the surface, or the
// primary surface with its flipping chain.
#include <new>

#include "platform/ddraw/direct_draw.h"
#include "platform/ddraw/surface.h"

namespace ddraw {

namespace {

constexpr DWORD MAX_BACK_BUFFERS = 3;
constexpr DWORD MEMORY_CAPS = DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY;

// Size and pixel store checked before anything is allocated.
bool SizeAllowed(DWORD width, DWORD height, const PixelLayout& layout) {
    if (width == 0 || height == 0 || width > SURFACE_MAX_SIDE || height > SURFACE_MAX_SIDE) {
        return false;
    }
    const size_t bytes = size_t(PitchFor(width, layout.bytesPerPixel)) * height;
    return bytes <= SURFACE_MAX_BYTES;
}

Surface* MakeSurface(DirectDraw* owner, DDSURFACEDESC2 desc, DWORD width, DWORD height,
                     const DDPIXELFORMAT& format, const PixelLayout& layout) {
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddpfPixelFormat = format;
    if ((desc.ddsCaps.dwCaps & MEMORY_CAPS) == 0) {
        desc.ddsCaps.dwCaps |= DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
    }
    return new Surface(owner, desc, layout, PitchFor(width, layout.bytesPerPixel));
}

bool FailureSelected(const host::DriverFailures& failures, const DDSCAPS2& caps) {
    return failures.createSurface != DD_OK &&
           (failures.createSurfaceCaps == 0 || (caps.dwCaps & failures.createSurfaceCaps) != 0);
}

} // namespace

HRESULT DirectDraw::CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** surface,
                                  IUnknown* outer) {
    if (surface == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *surface = nullptr;
    if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC2) || outer != nullptr ||
        (desc->dwFlags & DDSD_CAPS) == 0) {
        return DDERR_INVALIDPARAMS;
    }
    if (FailureSelected(driver_->failures, desc->ddsCaps)) {
        return driver_->failures.createSurface;
    }
    if ((desc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0) {
        Surface* primary = nullptr;
        HRESULT result = CreatePrimary(*desc, &primary);
        *surface = primary;
        return result;
    }
    if ((desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT)) {
        return DDERR_INVALIDPARAMS;
    }
    if ((desc->ddsCaps.dwCaps & (DDSCAPS_FLIP | DDSCAPS_BACKBUFFER | DDSCAPS_FRONTBUFFER)) != 0) {
        return DDERR_INVALIDCAPS; // flipping surfaces come only with a primary
    }
    const bool zBuffer = (desc->ddsCaps.dwCaps & DDSCAPS_ZBUFFER) != 0;
    DDPIXELFORMAT format{};
    if ((desc->dwFlags & DDSD_PIXELFORMAT) != 0) {
        format = desc->ddpfPixelFormat;
        format.dwSize = sizeof(DDPIXELFORMAT);
    } else if (zBuffer) {
        return DDERR_INVALIDPIXELFORMAT; // a z-buffer must say its depth
    } else {
        format = CurrentMode().ddpfPixelFormat;
    }
    const PixelLayout layout = DescribePixelFormat(format);
    if (!layout.valid || layout.depth != zBuffer) {
        return DDERR_INVALIDPIXELFORMAT;
    }
    if (!SizeAllowed(desc->dwWidth, desc->dwHeight, layout)) {
        return desc->dwWidth == 0 || desc->dwHeight == 0 ? DDERR_INVALIDPARAMS : DDERR_OUTOFMEMORY;
    }
    DDSURFACEDESC2 stored{};
    stored.dwFlags = desc->dwFlags & DDSD_TEXTURESTAGE;
    stored.dwTextureStage = desc->dwTextureStage;
    stored.ddsCaps = desc->ddsCaps;
    *surface = MakeSurface(this, stored, desc->dwWidth, desc->dwHeight, format, layout);
    return DD_OK;
}

HRESULT DirectDraw::CreatePrimary(const DDSURFACEDESC2& desc, Surface** primary) {
    if (primary_ != nullptr) {
        return DDERR_PRIMARYSURFACEALREADYEXISTS;
    }
    if (cooperativeFlags_ == 0) {
        return DDERR_NOCOOPERATIVELEVELSET;
    }
    const DWORD caps = desc.ddsCaps.dwCaps;
    const bool flip = (caps & DDSCAPS_FLIP) != 0;
    const bool stereo = (desc.ddsCaps.dwCaps2 & DDSCAPS2_STEREOSURFACELEFT) != 0;
    DWORD backBuffers = 0;
    if (flip) {
        if ((caps & DDSCAPS_COMPLEX) == 0 || (desc.dwFlags & DDSD_BACKBUFFERCOUNT) == 0) {
            return DDERR_INVALIDCAPS;
        }
        if (!exclusive_) {
            return DDERR_NOEXCLUSIVEMODE;
        }
        backBuffers = desc.dwBackBufferCount;
        if (backBuffers == 0 || backBuffers > MAX_BACK_BUFFERS) {
            return DDERR_INVALIDPARAMS;
        }
    } else if ((caps & DDSCAPS_COMPLEX) != 0 || stereo) {
        return DDERR_INVALIDCAPS;
    }
    const DDSURFACEDESC2& mode = CurrentMode();
    if (stereo && (mode.ddsCaps.dwCaps2 & DDSCAPS2_STEREOSURFACELEFT) == 0) {
        return DDERR_INVALIDCAPS; // the mode has no stereo
    }
    DDPIXELFORMAT format = mode.ddpfPixelFormat;
    format.dwSize = sizeof(DDPIXELFORMAT);
    const PixelLayout layout = DescribePixelFormat(format);
    if (!layout.valid || layout.depth) {
        return DDERR_INVALIDPIXELFORMAT;
    }
    if (!SizeAllowed(mode.dwWidth, mode.dwHeight, layout)) {
        return DDERR_OUTOFVIDEOMEMORY;
    }

    const DWORD chainCaps = caps & (DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE);
    DDSURFACEDESC2 front{};
    front.dwFlags = flip ? DDSD_BACKBUFFERCOUNT : 0;
    front.dwBackBufferCount = backBuffers;
    front.ddsCaps.dwCaps = caps | DDSCAPS_FRONTBUFFER;
    front.ddsCaps.dwCaps2 = desc.ddsCaps.dwCaps2;
    Surface* root = MakeSurface(this, front, mode.dwWidth, mode.dwHeight, format, layout);

    Surface* previous = root;
    Surface* firstBack = nullptr;
    for (DWORD i = 0; i < backBuffers; ++i) {
        DDSURFACEDESC2 back{};
        back.ddsCaps.dwCaps = chainCaps | (i == 0 ? DDSCAPS_BACKBUFFER : 0);
        Surface* member = MakeSurface(this, back, mode.dwWidth, mode.dwHeight, format, layout);
        root->AddChainMember(member, previous);
        previous = member;
        if (i == 0) {
            firstBack = member;
        }
    }
    if (stereo && firstBack != nullptr) {
        DDSURFACEDESC2 left{};
        left.ddsCaps.dwCaps = chainCaps;
        left.ddsCaps.dwCaps2 = DDSCAPS2_STEREOSURFACELEFT;
        Surface* member = MakeSurface(this, left, mode.dwWidth, mode.dwHeight, format, layout);
        root->AddChainMember(member, firstBack);
    }
    primary_ = root;
    *primary = root;
    return DD_OK;
}

} // namespace ddraw
