// The 3D environment's life cycle: creating it for the selected device (with the fallback from a
// failing hardware device to software), rebuilding it on a change of device, mode or window, and
// tearing it down; the switch between the window's normal style and the full-screen popup; and
// the one error box every failure of the environment reaches the user through.
#include "app/application.h"
#include "platform/win32/kernel.h"
#include "platform/win32/user.h"

namespace {

constexpr LPCSTR ERROR_TEXT =
    "Something doesn't like to work...\nTry selection another device or resolution.";
constexpr LPCSTR ERROR_CAPTION = "Ichk.";
constexpr DWORD FULLSCREEN_WINDOW_STYLE = WS_POPUP | WS_SYSMENU | WS_VISIBLE; // 0x90080000

} // namespace

void Application::ReportError(HRESULT, int) {
    // The box never names the failure; the code is in the debug trace.
    MessageBoxA(nullptr, ERROR_TEXT, ERROR_CAPTION, MB_ICONWARNING | MB_OK);
}

void Application::ForgetDeviceObjects() {
    directDraw = nullptr;
    direct3D = nullptr;
    device = nullptr;
    renderSurface = nullptr;
    leftRenderSurface = nullptr;
}

HRESULT Application::InitEnvironment() {
    // At most two attempts: the selected device, then (after one box) the default software
    // device when the selected one was hardware.
    for (;;) {
        DWORD flags = 0;
        if (!selectedDevice->windowed) {
            flags |= DISPLAY_FULLSCREEN;
        }
        if (selectedDevice->stereo) {
            flags |= DISPLAY_STEREO;
        }
        if (useZBuffer) {
            flags |= DISPLAY_ZBUFFER;
        }
        HRESULT result =
            displayDevice->Create(window, selectedDevice->driverGuid, selectedDevice->deviceGuid,
                                  &selectedDevice->currentMode, flags);
        if (SUCCEEDED(result)) {
            directDraw = displayDevice->GetDirectDraw();
            direct3D = displayDevice->GetDirect3D();
            device = displayDevice->GetDevice();
            renderSurface = displayDevice->GetRenderSurface();
            leftRenderSurface = displayDevice->GetLeftRenderSurface();
            renderSurfaceDesc = DDSURFACEDESC2{};
            renderSurfaceDesc.dwSize = sizeof(renderSurfaceDesc);
            renderSurface->GetSurfaceDesc(&renderSurfaceDesc);

            result = PrepareDevice();
            if (SUCCEEDED(result)) {
                return S_OK;
            }
            ReleaseDevice();
            displayDevice->Destroy();
            ForgetDeviceObjects();
        }

        if (selectedDevice->hardware == 0) {
            return result;
        }
        // Only worth a box when there is something to fall back to; otherwise the caller's box
        // is the one the user sees, and the failing device is not tried again.
        DeviceInfo* software = selectedDevice;
        if (FAILED(SelectDefaultDevice(&software, DEFAULT_SKIP_HARDWARE)) ||
            software->hardware != 0) {
            return result;
        }
        ReportError(result, ERROR_KIND_FALLBACK);
        selectedDevice = software;
    }
}

HRESULT Application::ChangeEnvironment() {
    ReleaseDevice();
    HRESULT result = displayDevice->Destroy();
    ForgetDeviceObjects();
    if (FAILED(result)) {
        ReportError(result, ERROR_KIND_FATAL);
        SendMessageA(window, WM_CLOSE, 0, 0);
        return result;
    }

    if (lastWindowed != selectedDevice->windowed) {
        SwitchWindowStyle();
    }

    result = InitEnvironment();
    if (FAILED(result)) {
        ReportError(result, ERROR_KIND_FATAL);
        SendMessageA(window, WM_CLOSE, 0, 0);
        return result;
    }

    if (!timeRunning) {
        // A stopped clock stays where it was; one frame is animated for the new device.
        singleStep = TRUE;
        const DWORD now = timeGetTime();
        baseTime += now - stopTime;
        stopTime = now;
    }
    return S_OK;
}

void Application::SwitchWindowStyle() {
    if (selectedDevice->windowed) {
        SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(savedWindowStyle));
        SetWindowPos(window, HWND_NOTOPMOST, savedWindowRect.left, savedWindowRect.top,
                     savedWindowRect.right - savedWindowRect.left,
                     savedWindowRect.bottom - savedWindowRect.top, SWP_SHOWWINDOW);
    } else {
        savedWindowStyle = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
        GetWindowRect(window, &savedWindowRect);
        SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(FULLSCREEN_WINDOW_STYLE));
    }
    lastWindowed = selectedDevice->windowed;
}

void Application::CleanupEnvironment() {
    active = FALSE;
    ready = FALSE;
    if (displayDevice != nullptr) {
        ReleaseDevice();
        delete displayDevice; // its destructor releases the objects
        displayDevice = nullptr;
        ForgetDeviceObjects();
        Shutdown();
    }
    FreeDevices();
}
