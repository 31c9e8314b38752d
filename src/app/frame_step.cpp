// One frame of the main loop, the application clock and the pause nesting.
//
// Application time is (timeGetTime - baseTime) / 1000 s. Whenever time stops, stopTime takes the
// clock; whenever it restarts, baseTime moves forward by the stopped interval, so time spent
// stopped never counts. Differences are unsigned 32-bit, correct across the clock's wrap.
#include "app/application.h"
#include "platform/win32/kernel.h"

namespace {

// The single-precision constant nearest to 0.001: time is computed in floats, as it is handed on.
constexpr float MILLISECONDS_TO_SECONDS = 0.001f;

} // namespace

HRESULT Application::FrameStep() {
    HRESULT result = directDraw != nullptr ? directDraw->TestCooperativeLevel() : DD_OK;
    if (FAILED(result)) {
        if (result == DDERR_EXCLUSIVEMODEALREADYSET || result == DDERR_NOEXCLUSIVEMODE) {
            return S_OK; // another program owns the screen: skip the frame until it lets go
        }
        if (result == DDERR_WRONGMODE && Windowed()) {
            return ChangeEnvironment(); // the desktop mode changed under the window
        }
        return result;
    }

    const DWORD elapsed = timeGetTime() - baseTime;
    const float time = static_cast<float>(elapsed) * MILLISECONDS_TO_SECONDS;
    if (timeRunning || singleStep) {
        result = Animate(time);
        if (FAILED(result)) {
            return result;
        }
        singleStep = FALSE;
    }

    result = DrawViews();
    if (FAILED(result)) {
        return result;
    }
    // A device change inside DrawFrame that failed has already closed the window and taken the
    // environment down: there is nothing left to show.
    if (displayDevice == nullptr || device == nullptr) {
        return S_OK;
    }

    if (showStats) {
        ShowStats();
    }

    result = displayDevice->ShowFrame();
    if (SUCCEEDED(result)) {
        return S_OK;
    }
    if (result == DDERR_SURFACELOST) {
        // Lost surfaces are not a failure: their memory comes back, their owners refill them.
        displayDevice->RestoreSurfaces();
        SurfacesRestored();
        return S_OK;
    }
    return result;
}

HRESULT Application::DrawViews() {
    if (device == nullptr) {
        return S_OK;
    }
    if (!(appSetsView && selectedDevice != nullptr && selectedDevice->stereo && !Windowed())) {
        if (appSetsView) {
            device->SetTransform(D3DTRANSFORMSTATE_VIEW, &monoView);
        }
        return DrawFrame();
    }

    // Stereo: the left eye into the left back buffer, then the right eye into the normal one.
    device->SetTransform(D3DTRANSFORMSTATE_VIEW, &leftView);
    HRESULT result = device->SetRenderTarget(leftRenderSurface, 0);
    if (FAILED(result)) {
        return result;
    }
    result = DrawFrame();
    if (FAILED(result) || device == nullptr) {
        return result; // (the device is read again: DrawFrame may have rebuilt the environment)
    }
    device->SetTransform(D3DTRANSFORMSTATE_VIEW, &rightView);
    result = device->SetRenderTarget(renderSurface, 0);
    if (FAILED(result)) {
        return result;
    }
    return DrawFrame();
}

void Application::Pause(bool pause) {
    pauseCount += pause ? 1 : -1;
    ready = pauseCount == 0 ? TRUE : FALSE;

    if (pause && pauseCount == 1) {
        // The outermost pause: in full screen the GDI surface becomes visible, so dialogs and
        // menus can be seen over the picture.
        if (displayDevice != nullptr) {
            displayDevice->FlipToGdi(TRUE);
        }
        if (timeRunning) {
            stopTime = timeGetTime();
        }
    }
    if (pauseCount == 0 && timeRunning) {
        baseTime += timeGetTime() - stopTime;
    }
}
