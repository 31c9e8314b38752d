// The buffer steps of DisplayDevice::Create: a flipping chain in exclusive full screen, or a
// clipped primary with an off-screen back buffer in a window.
#include "framework/display_device.h"
#include "framework/trace_error.h"
#include "platform/win32/user.h"

namespace {

constexpr LPCSTR SOURCE_UNIT = "d3dframe";

// Running out of video memory is passed on as itself, so that a caller can tell it from the
// other failures and pick a smaller mode; the step's own text comes first.
HRESULT SurfaceFailure(int line, HRESULT result, HRESULT ownCode) {
    if (result == DDERR_OUTOFVIDEOMEMORY) {
        TraceError(SOURCE_UNIT, line, 0, "Error: Out of video memory");
        return DDERR_OUTOFVIDEOMEMORY;
    }
    return ownCode;
}

} // namespace

HRESULT DisplayDevice::CreateFullscreenBuffers(DDSURFACEDESC2* modeDesc) {
    screenRect =
        RECT{0, 0, static_cast<LONG>(modeDesc->dwWidth), static_cast<LONG>(modeDesc->dwHeight)};
    width = screenRect.right - screenRect.left;
    height = screenRect.bottom - screenRect.top;

    const DWORD bits = modeDesc->ddpfPixelFormat.dwRGBBitCount;
    const DWORD modeFlags =
        (width == 320 && height == 200 && bits == 8) ? DDSDM_STANDARDVGAMODE : 0;
    if (FAILED(directDraw->SetDisplayMode(static_cast<DWORD>(width), static_cast<DWORD>(height),
                                          bits, modeDesc->dwRefreshRate, modeFlags))) {
        TraceError(SOURCE_UNIT, __LINE__, 0, "Can't set display mode");
        return DISPLAY_E_SET_MODE;
    }

    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps =
        DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    if (stereo) {
        desc.ddsCaps.dwCaps |= DDSCAPS_VIDEOMEMORY;
        desc.ddsCaps.dwCaps2 |= DDSCAPS2_STEREOSURFACELEFT;
    }
    HRESULT result = directDraw->CreateSurface(&desc, &primary, nullptr);
    if (FAILED(result)) {
        primary = nullptr;
        TraceError(SOURCE_UNIT, __LINE__, 0, "Error: Can't create primary surface");
        return SurfaceFailure(__LINE__, result, DISPLAY_E_PRIMARY);
    }

    DDSCAPS2 backCaps{};
    backCaps.dwCaps = DDSCAPS_BACKBUFFER;
    result = primary->GetAttachedSurface(&backCaps, &renderSurface);
    if (FAILED(result)) {
        renderSurface = nullptr;
        TraceError(SOURCE_UNIT, __LINE__, result, "Error: Can't get the backbuffer");
        return DISPLAY_E_BACKBUFFER;
    }
    // GetAttachedSurface has given us one reference, which Destroy releases. No second one is
    // taken: a back buffer dies with its primary, and a reference left over would keep an empty
    // shell of it alive for good.

    if (stereo) {
        DDSCAPS2 leftCaps{};
        leftCaps.dwCaps2 = DDSCAPS2_STEREOSURFACELEFT;
        result = renderSurface->GetAttachedSurface(&leftCaps, &leftRenderSurface);
        if (FAILED(result)) {
            leftRenderSurface = nullptr;
            TraceError(SOURCE_UNIT, __LINE__, result, "Error: Can't get the left backbuffer");
            return DISPLAY_E_BACKBUFFER;
        }
    }
    return S_OK;
}

HRESULT DisplayDevice::CreateWindowedBuffers() {
    RECT client{};
    GetClientRect(window, &client);
    POINT topLeft{client.left, client.top};
    POINT bottomRight{client.right, client.bottom};
    ClientToScreen(window, &topLeft);
    ClientToScreen(window, &bottomRight);
    screenRect = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    width = screenRect.right - screenRect.left;
    height = screenRect.bottom - screenRect.top;

    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    HRESULT result = directDraw->CreateSurface(&desc, &primary, nullptr);
    if (FAILED(result)) {
        primary = nullptr;
        TraceError(SOURCE_UNIT, __LINE__, 0, "Error: Can't create primary surface");
        return SurfaceFailure(__LINE__, result, DISPLAY_E_PRIMARY);
    }

    IDirectDrawClipper* clipper = nullptr;
    if (FAILED(directDraw->CreateClipper(0, &clipper, nullptr))) {
        TraceError(SOURCE_UNIT, __LINE__, 0, "Error: Couldn't create clipper");
        return DISPLAY_E_CLIPPER;
    }
    clipper->SetHWnd(0, window);
    primary->SetClipper(clipper);
    clipper->Release(); // the primary keeps it

    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
    result = directDraw->CreateSurface(&desc, &renderSurface, nullptr);
    if (FAILED(result)) {
        renderSurface = nullptr;
        TraceError(SOURCE_UNIT, __LINE__, result, "Error: Couldn't create the backbuffer");
        return SurfaceFailure(__LINE__, result, DISPLAY_E_BACKBUFFER);
    }
    return S_OK;
}
