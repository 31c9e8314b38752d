// A small program for the end-to-end graphics test: it opens a window, brings up DirectDraw and
// one 3D device of the real driver set, draws a small scene a few frames long and presents it,
// then waits for its window to be closed. The command line names the device ("hal": the window's
// GL context, "rgb": the software device) and the presentation ("window": a clipped primary with
// an off-screen back buffer; "fullscreen": exclusive mode at 640 x 480 x 16 with a flipping
// chain). It says "presented W x H" once the frames are on screen, and every failing step.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "platform/d3d/d3d.h"
#include "platform/ddraw/pixel_formats.h"
#include "platform/desktop/program.h"
#include "platform/win32/windows.h"

namespace {

constexpr const char* WINDOW_TITLE = "lumenfall gfx test";

// What the window's WM_DESTROY releases, as the demo does.
struct Objects {
    IDirectDraw7* directDraw = nullptr;
    IDirect3D7* direct3D = nullptr;
    IDirect3DDevice7* device = nullptr;
    IDirectDrawSurface7* primary = nullptr;
    IDirectDrawSurface7* back = nullptr;
    IDirectDrawSurface7* z = nullptr;
    IDirectDrawSurface7* texture = nullptr;
} objects;

void ReleaseAll(HWND window) {
    if (objects.directDraw == nullptr) {
        return;
    }
    objects.directDraw->SetCooperativeLevel(window, DDSCL_NORMAL);
    if (objects.device != nullptr) {
        objects.device->SetTexture(0, nullptr);
    }
    ULONG deviceLeft = 0;
    for (IUnknown* object :
         {static_cast<IUnknown*>(objects.texture), static_cast<IUnknown*>(objects.device)}) {
        if (object != nullptr) {
            deviceLeft = object->Release();
        }
    }
    for (IUnknown* object :
         {static_cast<IUnknown*>(objects.z), static_cast<IUnknown*>(objects.back),
          static_cast<IUnknown*>(objects.primary), static_cast<IUnknown*>(objects.direct3D)}) {
        if (object != nullptr) {
            object->Release();
        }
    }
    const ULONG left = objects.directDraw->Release();
    objects = Objects{};
    std::printf("released %lu %lu\n", static_cast<unsigned long>(deviceLeft),
                static_cast<unsigned long>(left));
    std::fflush(stdout);
}

int Fail(const char* step, HRESULT result) {
    std::printf("failed: %s (hr=%08x)\n", step, static_cast<unsigned>(result));
    std::fflush(stdout);
    return 2;
}

LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            PostMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    case WM_DESTROY:
        ReleaseAll(window);
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

IDirectDrawSurface7* MakeSurface(IDirectDraw7* directDraw, DWORD caps, DWORD width, DWORD height,
                                 const DDPIXELFORMAT* format) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | (width > 0 ? DDSD_WIDTH | DDSD_HEIGHT : 0) |
                   (format != nullptr ? DDSD_PIXELFORMAT : 0);
    desc.dwWidth = width;
    desc.dwHeight = height;
    if (format != nullptr) {
        desc.ddpfPixelFormat = *format;
    }
    desc.ddsCaps.dwCaps = caps;
    IDirectDrawSurface7* surface = nullptr;
    return directDraw->CreateSurface(&desc, &surface, nullptr) == DD_OK ? surface : nullptr;
}

void Quad(IDirect3DDevice7* device, float x0, float z0, float x1, float z1, float uv) {
    D3DVERTEX quad[4] = {{x1, 0, z1, 0, 1, 0, uv, 0},
                         {x1, 0, z0, 0, 1, 0, uv, uv},
                         {x0, 0, z1, 0, 1, 0, 0, 0},
                         {x0, 0, z0, 0, 1, 0, 0, uv}};
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_VERTEX, quad, 4, 0);
}

void Grey(IDirect3DDevice7* device, float level) {
    D3DMATERIAL7 material{};
    material.diffuse = material.ambient = {level, level, level, 1};
    device->SetMaterial(&material);
}

// The demo's camera over a grey quad on the left, a red and green checkerboard on the right and
// black bars at the top and bottom, on the demo's dark blue.
void DrawScene(IDirect3DDevice7* device, IDirectDrawSurface7* texture, DWORD width, DWORD height) {
    D3DMATRIX view{};
    view._11 = 1;
    view._23 = -1;
    view._32 = 1;
    view._43 = 600;
    view._44 = 1;
    const float h = 1.0f / std::tan(3.14159265f / 6.0f), q = 1000.0f / 999.0f;
    D3DMATRIX projection{};
    projection._11 = h * float(height) / float(width);
    projection._22 = h;
    projection._33 = q;
    projection._34 = 1;
    projection._43 = -q;
    device->SetTransform(D3DTRANSFORMSTATE_VIEW, &view);
    device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
    D3DLIGHT7 light{};
    light.dltType = D3DLIGHT_DIRECTIONAL;
    light.dcvDiffuse = {1, 1, 1, 1};
    light.dvDirection = {0, -1, 0};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00001843, 1, 0);
    device->BeginScene();
    Grey(device, 0.75f);
    Quad(device, -350, -150, -50, 150, 1);
    device->SetTexture(0, texture);
    Grey(device, 1.0f);
    Quad(device, 50, -150, 350, 150, 2);
    device->SetTexture(0, nullptr);
    Grey(device, 0.0f);
    Quad(device, -550, -350, 550, -250, 1);
    Quad(device, -550, 250, 550, 350, 1);
    device->EndScene();
}

int ProgramMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const bool software = std::strstr(commandLine, "rgb") != nullptr;
    const bool fullscreen = std::strstr(commandLine, "fullscreen") != nullptr;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "Gfx Test";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "Gfx Test", WINDOW_TITLE, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 326, 266, nullptr, nullptr,
                                  instance, nullptr);
    if (window == nullptr) {
        return Fail("window", E_FAIL);
    }
    RECT client{};
    GetClientRect(window, &client);

    void* object = nullptr;
    HRESULT result = DirectDrawCreateEx(nullptr, &object, IID_IDirectDraw7, nullptr);
    if (result != DD_OK) {
        return Fail("DirectDrawCreateEx", result);
    }
    auto* directDraw = static_cast<IDirectDraw7*>(object);
    IDirectDrawSurface7* primary = nullptr;
    IDirectDrawSurface7* back = nullptr;
    DWORD width = 0, height = 0;
    if (fullscreen) {
        result = directDraw->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE);
        if (result == DD_OK) {
            result = directDraw->SetDisplayMode(640, 480, 16, 0, 0);
        }
        if (result != DD_OK) {
            return Fail("full screen", result);
        }
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.dwBackBufferCount = 1;
        desc.ddsCaps.dwCaps =
            DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
        directDraw->CreateSurface(&desc, &primary, nullptr);
        DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
        if (primary == nullptr || primary->GetAttachedSurface(&caps, &back) != DD_OK) {
            return Fail("flipping chain", E_FAIL);
        }
        width = 640;
        height = 480;
    } else {
        directDraw->SetCooperativeLevel(window, DDSCL_NORMAL);
        primary = MakeSurface(directDraw, DDSCAPS_PRIMARYSURFACE, 0, 0, nullptr);
        IDirectDrawClipper* clipper = nullptr;
        directDraw->CreateClipper(0, &clipper, nullptr);
        clipper->SetHWnd(0, window);
        primary->SetClipper(clipper);
        clipper->Release();
        width = DWORD(client.right);
        height = DWORD(client.bottom);
        back = MakeSurface(directDraw, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, width, height,
                           nullptr);
        if (back == nullptr) {
            return Fail("back buffer", E_FAIL);
        }
    }
    DDSURFACEDESC2 backDesc{};
    backDesc.dwSize = sizeof(backDesc);
    back->GetSurfaceDesc(&backDesc);
    const DDPIXELFORMAT zFormat = ddraw::MakePixelFormat(
        backDesc.ddpfPixelFormat.dwRGBBitCount == 16 ? ddraw::PixelKind::Z16
                                                     : ddraw::PixelKind::Z32);
    IDirectDrawSurface7* z = MakeSurface(directDraw, DDSCAPS_ZBUFFER, width, height, &zFormat);
    back->AddAttachedSurface(z);
    IDirect3D7* direct3D = nullptr;
    directDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&direct3D));
    IDirect3DDevice7* device = nullptr;
    result = direct3D->CreateDevice(software ? IID_IDirect3DRGBDevice : IID_IDirect3DHALDevice,
                                    back, &device);
    if (result != D3D_OK) {
        return Fail("CreateDevice", result);
    }
    const DDPIXELFORMAT textureFormat = ddraw::MakePixelFormat(ddraw::PixelKind::RGB565);
    IDirectDrawSurface7* texture =
        MakeSurface(directDraw, DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY, 2, 2, &textureFormat);
    DDSURFACEDESC2 lock{};
    lock.dwSize = sizeof(lock);
    if (texture->Lock(nullptr, &lock, 0, nullptr) == DD_OK) {
        auto* bits = static_cast<BYTE*>(lock.lpSurface);
        reinterpret_cast<WORD*>(bits)[0] = 0xF800;
        reinterpret_cast<WORD*>(bits)[1] = 0x07E0;
        reinterpret_cast<WORD*>(bits + lock.lPitch)[0] = 0x07E0;
        reinterpret_cast<WORD*>(bits + lock.lPitch)[1] = 0xF800;
        texture->Unlock(nullptr);
    }

    for (int frame = 0; frame < 3; ++frame) {
        DrawScene(device, texture, width, height);
        RECT screen = client;
        result = fullscreen ? primary->Flip(nullptr, DDFLIP_WAIT)
                            : primary->Blt(&screen, back, nullptr, DDBLT_WAIT, nullptr);
        if (result != DD_OK) {
            return Fail("present", result);
        }
    }
    std::printf("presented %lu x %lu\n", static_cast<unsigned long>(width),
                static_cast<unsigned long>(height));
    std::fflush(stdout);

    objects = Objects{directDraw, direct3D, device, primary, back, z, texture};
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    return desktop::RunDesktopProgram(argc, argv, ProgramMain);
}
