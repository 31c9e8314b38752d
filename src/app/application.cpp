// Application: construction, the default virtual operations, Create and the message loop.
//
// Messages and commands are in window_messages.cpp, the frame and the clock in frame_step.cpp,
// the 3D environment in environment.cpp.
#include "app/application.h"

#include <new>

#include "platform/win32/gdi.h"
#include "platform/win32/kernel.h"
#include "platform/win32/user.h"

Application* theApplication = nullptr;
LONG pauseCount = 0;
BOOL lastWindowed = TRUE;
DWORD savedWindowStyle = 0;
RECT savedWindowRect = {0, 0, 0, 0};
DWORD statsFrames = 0;
float statsLastTime = 0.0f;
float statsRate = 0.0f;

namespace {

constexpr LPCSTR WINDOW_CLASS_NAME = "D3D Window";
constexpr int INITIAL_WINDOW_SIZE = 300;

} // namespace

Application::Application()
    : displayDevice(nullptr), active(FALSE), ready(FALSE), timeRunning(TRUE), singleStep(FALSE),
      baseTime(0), stopTime(0), window(nullptr), selectedDevice(nullptr), directDraw(nullptr),
      direct3D(nullptr), device(nullptr), renderSurface(nullptr),
      leftRenderSurface(nullptr), renderSurfaceDesc{}, windowTitle("Direct3D Application"),
      useZBuffer(FALSE), appSetsView(FALSE), showStats(FALSE), confirmDevice(nullptr) {
    // The view matrices are left for BuildViewMatrices; zeroed so that a frame drawn before the
    // first Animate uses a defined (if empty) view.
    leftView = rightView = monoView = D3DMATRIX{};
    theApplication = this;
}

Application::~Application() {
    // The window procedure must not reach an object that is gone.
    if (theApplication == this) {
        theApplication = nullptr;
    }
    // When the show ends by itself, Run returns with the window and the environment still up
    // (nothing was closed); they go here rather than being left to the end of the process.
    if (displayDevice != nullptr) {
        delete displayDevice;
        displayDevice = nullptr;
        FreeDevices();
    }
    if (window != nullptr && IsWindow(window)) {
        DestroyWindow(window);
    }
}

HRESULT Application::LoadScene() {
    return S_OK;
}
HRESULT Application::PrepareDevice() {
    return S_OK;
}
HRESULT Application::ReleaseDevice() {
    return S_OK;
}
HRESULT Application::DrawFrame() {
    return S_OK;
}
HRESULT Application::Animate(float) {
    return S_OK;
}
HRESULT Application::SurfacesRestored() {
    return S_OK;
}
HRESULT Application::Shutdown() {
    return S_OK;
}

HRESULT Application::QuerySuspend(LPARAM) {
    Pause(true);
    return 1;
}

HRESULT Application::ResumeSuspend(LPARAM) {
    Pause(false);
    return 1;
}

HRESULT Application::Create(HINSTANCE instance, LPSTR) {
    HRESULT result = EnumerateDevices(confirmDevice);
    if (FAILED(result)) {
        ReportError(result, ERROR_KIND_FATAL);
        return result;
    }
    result = SelectDefaultDevice(&selectedDevice, 0);
    if (FAILED(result)) {
        ReportError(result, ERROR_KIND_FATAL);
        return result;
    }
    result = LoadScene();
    if (FAILED(result)) {
        ReportError(result, ERROR_KIND_FATAL);
        return result;
    }
    displayDevice = new (std::nothrow) DisplayDevice;
    if (displayDevice == nullptr) {
        ReportError(E_OUTOFMEMORY, ERROR_KIND_FATAL);
        return E_OUTOFMEMORY;
    }

    WNDCLASSA windowClass{};
    windowClass.style = 0;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_MAIN_ICON));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = WINDOW_CLASS_NAME;
    RegisterClassA(&windowClass);

    // Messages arrive while the window is being made; they find selectedDevice set and ready
    // false, so nothing tries to use the environment before it exists.
    window = CreateWindowExA(0, WINDOW_CLASS_NAME, windowTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             CW_USEDEFAULT, CW_USEDEFAULT, INITIAL_WINDOW_SIZE, INITIAL_WINDOW_SIZE,
                             nullptr, LoadMenuA(instance, MAKEINTRESOURCEA(IDR_MAIN_MENU)),
                             instance, nullptr);
    UpdateWindow(window);

    result = InitEnvironment();
    if (FAILED(result)) {
        ReportError(result, ERROR_KIND_FATAL);
        CleanupEnvironment();
        return E_FAIL;
    }
    baseTime = timeGetTime();
    ready = TRUE;
    return S_OK;
}

WPARAM Application::Run() {
    HACCEL accelerators = LoadAcceleratorsA(nullptr, MAKEINTRESOURCEA(IDR_MAIN_ACCELERATORS));
    MSG message{};
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    while (message.message != WM_QUIT) {
        // Spin while active so frames follow each other; a minimised window waits for messages
        // and costs no processor time.
        BOOL fetched = active ? PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)
                              : GetMessageA(&message, nullptr, 0, 0);
        if (fetched) {
            if (TranslateAcceleratorA(window, accelerators, &message) == 0) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        } else if (active && ready) {
            if (FAILED(FrameStep())) {
                DestroyWindow(window);
            }
        }
    }
    return message.wParam;
}
