// The application object: the main window, the display device, the choice of 3D device, the
// message loop with the application clock and the pause logic, and the life cycle of the 3D
// environment with its one error box.
//
// A program derives from Application and overrides the first five operations (load content, set
// up and release device objects, draw, animate). Exactly one Application exists per process; its
// window procedure finds it through theApplication. Everything runs on the GUI thread.
#pragma once

#include "framework/device_catalog.h"
#include "framework/display_device.h"
#include "platform/d3d/d3d.h"
#include "platform/win32/types.h"

// Window commands (the low word of WM_COMMAND's wParam).
constexpr WORD CMD_ABOUT = 40001;
constexpr WORD CMD_CHANGE_DEVICE = 40002;
constexpr WORD CMD_TOGGLE_FULLSCREEN = 40003;
constexpr WORD CMD_TOGGLE_TIME = 40004;
constexpr WORD CMD_SINGLE_STEP = 40005;
constexpr WORD CMD_EXIT = 40006;
// Shows or hides the frame-rate text (showStats); the F key gives it.
constexpr WORD CMD_TOGGLE_STATS = 40007;

// Resources asked for by number; only the icon and the accelerator table exist in this program.
constexpr int IDI_MAIN_ICON = 101;
constexpr int IDR_MAIN_ACCELERATORS = 113;
constexpr int IDR_MAIN_MENU = 141;
constexpr int IDR_POPUP_MENU = 142;
constexpr int IDD_ABOUT = 143;

// ReportError kinds: a failure that ends the current action, or the hardware-to-software fallback.
constexpr int ERROR_KIND_FATAL = 1;
constexpr int ERROR_KIND_FALLBACK = 2;

class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // ---- The table of virtual operations, in slot order ----
    virtual HRESULT LoadScene();
    virtual HRESULT PrepareDevice();
    virtual HRESULT ReleaseDevice();
    virtual HRESULT DrawFrame();
    virtual HRESULT Animate(float time);
    virtual HRESULT SurfacesRestored();
    virtual HRESULT Shutdown();
    virtual HRESULT QuerySuspend(LPARAM lParam);
    virtual HRESULT ResumeSuspend(LPARAM lParam);
    virtual HRESULT Create(HINSTANCE instance, LPSTR commandLine);
    virtual WPARAM Run();
    virtual LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    virtual void Pause(bool pause);

    // ---- The frame and its overlay ----
    HRESULT FrameStep();
    void ShowStats();
    void DrawOverlayText(int x, int y, LPCSTR text);

    // ---- The 3D environment ----
    HRESULT InitEnvironment();
    HRESULT ChangeEnvironment();
    void CleanupEnvironment();
    void ReportError(HRESULT code, int kind);

    DisplayDevice* displayDevice;
    BOOL active;      // the window is not minimised
    BOOL ready;       // the environment exists and nothing is paused
    BOOL timeRunning; // application time advances
    BOOL singleStep;  // one Animate is due although time is stopped
    DWORD baseTime;   // timeGetTime value of application time 0
    DWORD stopTime;   // timeGetTime value when time last stopped
    HWND window;
    DeviceInfo* selectedDevice; // not owned: a record of the device catalog
    // Borrowed from the display device, refreshed after each environment creation.
    IDirectDraw7* directDraw;
    IDirect3D7* direct3D;
    IDirect3DDevice7* device;
    IDirectDrawSurface7* renderSurface;
    IDirectDrawSurface7* leftRenderSurface;
    DDSURFACEDESC2 renderSurfaceDesc;
    LPCSTR windowTitle;
    BOOL useZBuffer;
    BOOL appSetsView; // set the view transform before each DrawFrame
    BOOL showStats;   // draw the frame-rate text
    ConfirmDeviceFn confirmDevice;
    D3DMATRIX leftView;
    D3DMATRIX rightView;
    D3DMATRIX monoView;

private:
    LRESULT HandleCommand(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Sets the view transform(s) and calls DrawFrame once, or once per eye in stereo.
    HRESULT DrawViews();
    // Forgets the borrowed interface pointers once the display device's objects are gone.
    void ForgetDeviceObjects();
    // The windowed flag of the device in use (false when there is none yet).
    bool Windowed() const;
    void SwitchWindowStyle();
};

// The window procedure of class "D3D Window": hands every message to theApplication.
LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// The about box's procedure (dialog 143, absent from this program's resources).
INT_PTR AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// ---- Process-wide state ----
extern Application* theApplication;
extern LONG pauseCount;
// The window's normal style and rectangle, kept across full-screen switches.
extern BOOL lastWindowed;
extern DWORD savedWindowStyle;
extern RECT savedWindowRect;
// The frame-rate counter.
extern DWORD statsFrames;
extern float statsLastTime;
extern float statsRate;
