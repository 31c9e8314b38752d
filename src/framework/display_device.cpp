// DisplayDevice: creation order, the DirectDraw object and cooperative level, the 3D device with
// its viewport, tear-down, presentation and the small state helpers.
//
// The buffer steps (full screen and windowed) are in display_buffers.cpp, the z-buffer in
// display_zbuffer.cpp.
#include "framework/display_device.h"

#include "framework/trace_error.h"
#include "platform/win32/user.h"

namespace {

constexpr LPCSTR SOURCE_UNIT = "d3dframe";

} // namespace

DisplayDevice::DisplayDevice()
    : window(nullptr), fullscreen(FALSE), stereo(FALSE), width(0), height(0), directDraw(nullptr),
      direct3D(nullptr), device(nullptr), primary(nullptr), renderSurface(nullptr),
      leftRenderSurface(nullptr), zBuffer(nullptr), memoryType(0) {
    // screenRect is filled by the buffer step of each creation; zeroed here so that an object
    // that never got that far reads predictably.
    screenRect = RECT{0, 0, 0, 0};
}

DisplayDevice::~DisplayDevice() {
    Destroy();
}

HRESULT DisplayDevice::Create(HWND newWindow, GUID* driverGuid, const GUID* deviceGuid,
                              DDSURFACEDESC2* modeDesc, DWORD flags) {
    if (newWindow == nullptr || deviceGuid == nullptr ||
        (modeDesc == nullptr && (flags & DISPLAY_FULLSCREEN) != 0)) {
        return E_INVALIDARG;
    }
    window = newWindow;
    stereo = FALSE;
    fullscreen = (flags & DISPLAY_FULLSCREEN) != 0 ? TRUE : FALSE;
    if ((flags & DISPLAY_STEREO) != 0 && fullscreen &&
        (modeDesc->ddsCaps.dwCaps2 & DDSCAPS2_STEREOSURFACELEFT) != 0) {
        stereo = TRUE;
    }
    const bool hardwareClass = IsEqualGUID(*deviceGuid, IID_IDirect3DHALDevice) ||
                               IsEqualGUID(*deviceGuid, IID_IDirect3DTnLHalDevice);
    memoryType = hardwareClass ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY;

    HRESULT result = CreateDirectDraw(driverGuid, flags);
    if (SUCCEEDED(result)) {
        result = fullscreen ? CreateFullscreenBuffers(modeDesc) : CreateWindowedBuffers();
    }
    if (SUCCEEDED(result)) {
        result = CreateDevice(deviceGuid);
    }
    if (SUCCEEDED(result) && (flags & DISPLAY_ZBUFFER) != 0) {
        result = CreateZBuffer(deviceGuid);
    }
    if (FAILED(result)) {
        Destroy();
        return result;
    }
    return S_OK;
}

HRESULT DisplayDevice::CreateDirectDraw(GUID* driverGuid, DWORD flags) {
    HRESULT result = DirectDrawCreateEx(driverGuid, reinterpret_cast<LPVOID*>(&directDraw),
                                        IID_IDirectDraw7, nullptr);
    if (FAILED(result)) {
        directDraw = nullptr;
        TraceError(SOURCE_UNIT, __LINE__, 0, "Could not create DirectDraw");
        return DISPLAY_E_CREATE_DDRAW;
    }

    DWORD level =
        fullscreen ? DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE | DDSCL_ALLOWREBOOT : DDSCL_NORMAL;
    if ((flags & DISPLAY_KEEP_FPU) == 0) {
        level |= DDSCL_FPUSETUP;
    }
    if (FAILED(directDraw->SetCooperativeLevel(window, level))) {
        TraceError(SOURCE_UNIT, __LINE__, 0, "Couldn't set coop level");
        return DISPLAY_E_COOP_LEVEL;
    }

    // The desktop's depth decides, also for full screen: the check runs before any mode change.
    DDSURFACEDESC2 desktop{};
    desktop.dwSize = sizeof(desktop);
    directDraw->GetDisplayMode(&desktop);
    if (desktop.ddpfPixelFormat.dwRGBBitCount <= 8) {
        return DISPLAY_E_LOW_COLOR_DEPTH;
    }
    return S_OK;
}

HRESULT DisplayDevice::CreateDevice(const GUID* deviceGuid) {
    if (FAILED(directDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&direct3D)))) {
        direct3D = nullptr;
        TraceError(SOURCE_UNIT, __LINE__, 0, "Couldn't get the Direct3D interface");
        return DISPLAY_E_NO_D3D;
    }
    if (FAILED(direct3D->CreateDevice(*deviceGuid, renderSurface, &device))) {
        device = nullptr;
        TraceError(SOURCE_UNIT, __LINE__, 0, "Couldn't create the D3DDevice");
        return DISPLAY_E_CREATE_DEVICE;
    }
    D3DVIEWPORT7 viewport{};
    viewport.dwX = 0;
    viewport.dwY = 0;
    viewport.dwWidth = static_cast<DWORD>(width);
    viewport.dwHeight = static_cast<DWORD>(height);
    viewport.dvMinZ = 0.0f;
    viewport.dvMaxZ = 1.0f;
    if (FAILED(device->SetViewport(&viewport))) {
        TraceError(SOURCE_UNIT, __LINE__, 0, "Error: Couldn't set current viewport to device");
        return DISPLAY_E_VIEWPORT;
    }
    return S_OK;
}

HRESULT DisplayDevice::Destroy() {
    if (directDraw != nullptr) {
        directDraw->SetCooperativeLevel(window, DDSCL_NORMAL);
    }
    bool stillReferenced = false;
    if (device != nullptr) {
        if (device->Release() > 0) {
            TraceError(SOURCE_UNIT, __LINE__, 0, "Error: D3DDevice object is still referenced!");
            stillReferenced = true;
        }
        device = nullptr;
    }
    IDirectDrawSurface7** surfaces[] = {&renderSurface, &leftRenderSurface, &zBuffer, &primary};
    for (IDirectDrawSurface7** surface : surfaces) {
        if (*surface != nullptr) {
            (*surface)->Release();
            *surface = nullptr;
        }
    }
    if (direct3D != nullptr) {
        direct3D->Release();
        direct3D = nullptr;
    }
    if (directDraw != nullptr) {
        if (directDraw->Release() > 0) {
            TraceError(SOURCE_UNIT, __LINE__, 0, "Error: DDraw object is still referenced!");
            stillReferenced = true;
        }
        directDraw = nullptr;
    }
    return stillReferenced ? DISPLAY_E_STILL_REFERENCED : S_OK;
}

HRESULT DisplayDevice::ShowFrame() {
    if (primary == nullptr) {
        return DISPLAY_E_NOT_CREATED;
    }
    if (fullscreen) {
        return primary->Flip(nullptr, DDFLIP_WAIT | (stereo ? DDFLIP_STEREO : 0));
    }
    return primary->Blt(&screenRect, renderSurface, nullptr, DDBLT_WAIT, nullptr);
}

HRESULT DisplayDevice::FlipToGdi(BOOL redraw) {
    if (directDraw != nullptr && fullscreen) {
        directDraw->FlipToGDISurface();
        if (redraw) {
            DrawMenuBar(window);
            RedrawWindow(window, nullptr, nullptr, RDW_FRAME);
        }
    }
    return S_OK;
}

HRESULT DisplayDevice::RestoreSurfaces() {
    // Texture surfaces are the demo's concern: it rebuilds them with the next environment.
    if (directDraw != nullptr) {
        directDraw->RestoreAllSurfaces();
    }
    return S_OK;
}

void DisplayDevice::MoveScreenRect(int x, int y) {
    if (!fullscreen) {
        screenRect = RECT{x, y, x + width, y + height};
    }
}
