// The display device: the DirectDraw and Direct3D objects of one 3D environment (cooperative
// level, display mode, primary and back buffers, z-buffer, 3D device and viewport), presenting
// finished frames (the framework's source unit "d3dframe").
//
// The object holds the one reference to each interface; the application copies the pointers out
// after each creation and borrows them. It does not restore texture contents after a surface
// loss and knows nothing of the device catalog: the caller hands it GUIDs and a mode record.
#pragma once

#include "platform/d3d/d3d.h"
#include "platform/win32/types.h"

// Flags of DisplayDevice::Create.
constexpr DWORD DISPLAY_FULLSCREEN = 1; // exclusive full screen in the given mode
constexpr DWORD DISPLAY_STEREO = 2;     // stereo flipping chain when the mode offers it
constexpr DWORD DISPLAY_ZBUFFER = 4;    // create and attach a z-buffer
constexpr DWORD DISPLAY_KEEP_FPU = 8;   // leave DDSCL_FPUSETUP out

// Result codes of the display device.
constexpr HRESULT DISPLAY_E_CREATE_DDRAW = MakeHResult(0x82000001u);
constexpr HRESULT DISPLAY_E_COOP_LEVEL = MakeHResult(0x82000002u);
constexpr HRESULT DISPLAY_E_NO_D3D = MakeHResult(0x82000003u);
constexpr HRESULT DISPLAY_E_CREATE_DEVICE = MakeHResult(0x82000004u);
constexpr HRESULT DISPLAY_E_ZBUFFER = MakeHResult(0x82000005u);
constexpr HRESULT DISPLAY_E_VIEWPORT = MakeHResult(0x82000007u);
constexpr HRESULT DISPLAY_E_PRIMARY = MakeHResult(0x82000008u);
constexpr HRESULT DISPLAY_E_CLIPPER = MakeHResult(0x82000009u);
constexpr HRESULT DISPLAY_E_SET_MODE = MakeHResult(0x8200000Au);
constexpr HRESULT DISPLAY_E_BACKBUFFER = MakeHResult(0x8200000Bu);
constexpr HRESULT DISPLAY_E_STILL_REFERENCED = MakeHResult(0x8200000Cu);
constexpr HRESULT DISPLAY_E_LOW_COLOR_DEPTH = MakeHResult(0x8200000Eu);
constexpr HRESULT DISPLAY_E_NOT_CREATED = MakeHResult(0x8200000Fu);

class DisplayDevice {
public:
    DisplayDevice();
    ~DisplayDevice();
    DisplayDevice(const DisplayDevice&) = delete;
    DisplayDevice& operator=(const DisplayDevice&) = delete;

    // Builds every object for `window`; `driverGuid` null means the primary display driver.
    // `modeDesc` is required in full screen. On failure everything made so far is released.
    HRESULT Create(HWND window, GUID* driverGuid, const GUID* deviceGuid, DDSURFACEDESC2* modeDesc,
                   DWORD flags);
    // Releases everything; DISPLAY_E_STILL_REFERENCED when the device or DirectDraw object had
    // other holders (they are dropped either way). Safe on an empty object.
    HRESULT Destroy();
    // Flip in full screen, blit to the client area in a window; the platform's result as it is.
    HRESULT ShowFrame();
    HRESULT FlipToGdi(BOOL redraw);
    HRESULT RestoreSurfaces();
    void MoveScreenRect(int x, int y);

    // Borrowed pointers: no reference is added.
    IDirectDraw7* GetDirectDraw() const { return directDraw; }
    IDirect3D7* GetDirect3D() const { return direct3D; }
    IDirect3DDevice7* GetDevice() const { return device; }
    IDirectDrawSurface7* GetRenderSurface() const { return renderSurface; }
    IDirectDrawSurface7* GetLeftRenderSurface() const { return leftRenderSurface; }

    HWND window;
    BOOL fullscreen;
    BOOL stereo;
    int width;
    int height;
    RECT screenRect; // full screen: (0, 0, width, height); in a window: the client area on screen
    IDirectDraw7* directDraw;
    IDirect3D7* direct3D;
    IDirect3DDevice7* device;
    IDirectDrawSurface7* primary;
    IDirectDrawSurface7* renderSurface;
    IDirectDrawSurface7* leftRenderSurface;
    IDirectDrawSurface7* zBuffer;
    DWORD memoryType; // DDSCAPS_VIDEOMEMORY for the hardware device classes, else system memory

private:
    HRESULT CreateDirectDraw(GUID* driverGuid, DWORD flags);
    HRESULT CreateFullscreenBuffers(DDSURFACEDESC2* modeDesc);
    HRESULT CreateWindowedBuffers();
    HRESULT CreateDevice(const GUID* deviceGuid);
    HRESULT CreateZBuffer(const GUID* deviceGuid);
};

// The z-buffer format search of CreateZBuffer: copies the enumerated format over `wanted` and
// stops when its depth is the wanted one.
HRESULT MatchZBufferFormat(DDPIXELFORMAT* enumerated, LPVOID wanted);
