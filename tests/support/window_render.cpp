#include "support/window_render.h"

#include <gtest/gtest.h>

#include "platform/ddraw/pixel_formats.h"
#include "platform/host/drivers.h"
#include "platform/host/host.h"
#include "platform/host/presentation.h"

namespace gl_test {

IDirectDrawSurface7* MakeSurface(IDirectDraw7* directDraw, DWORD caps, int width, int height,
                                 const DDPIXELFORMAT* format) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | (width > 0 ? DDSD_WIDTH | DDSD_HEIGHT : 0) |
                   (format != nullptr ? DDSD_PIXELFORMAT : 0);
    desc.dwWidth = DWORD(width);
    desc.dwHeight = DWORD(height);
    if (format != nullptr) {
        desc.ddpfPixelFormat = *format;
    }
    desc.ddsCaps.dwCaps = caps;
    IDirectDrawSurface7* surface = nullptr;
    EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DD_OK);
    return surface;
}

WindowFrame RenderThroughWindow(HWND window, const GUID& deviceGuid, int width, int height,
                                const std::function<void(IDirectDraw7*, IDirect3DDevice7*)>& draw,
                                std::string* failure) {
    WindowFrame frame;
    host::SetFrameSink([&frame](const host::PresentedFrame& presented) {
        frame.width = presented.width;
        frame.height = presented.height;
        frame.rgba.clear();
        for (int y = 0; y < presented.height; ++y) {
            const BYTE* row = presented.rgba + size_t(y) * presented.pitch;
            frame.rgba.insert(frame.rgba.end(), row, row + presented.width * 4);
        }
    });
    void* object = nullptr;
    DirectDrawCreateEx(nullptr, &object, IID_IDirectDraw7, nullptr);
    auto* directDraw = static_cast<IDirectDraw7*>(object);
    directDraw->SetCooperativeLevel(window, DDSCL_NORMAL);
    IDirectDrawSurface7* primary = MakeSurface(directDraw, DDSCAPS_PRIMARYSURFACE, 0, 0, nullptr);
    IDirectDrawClipper* clipper = nullptr;
    directDraw->CreateClipper(0, &clipper, nullptr);
    clipper->SetHWnd(0, window);
    primary->SetClipper(clipper);
    clipper->Release();
    IDirectDrawSurface7* back =
        MakeSurface(directDraw, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, width, height, nullptr);
    const DDPIXELFORMAT zFormat = ddraw::MakePixelFormat(ddraw::PixelKind::Z32);
    IDirectDrawSurface7* z = MakeSurface(directDraw, DDSCAPS_ZBUFFER, width, height, &zFormat);
    back->AddAttachedSurface(z);
    IDirect3D7* direct3D = nullptr;
    directDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&direct3D));
    IDirect3DDevice7* device = nullptr;
    std::string messages;
    host::SetDebugOutputSink([&messages](const char* text) { messages += text; });
    if (direct3D->CreateDevice(deviceGuid, back, &device) == D3D_OK) {
        draw(directDraw, device);
        RECT screen{0, 0, width, height};
        EXPECT_EQ(primary->Blt(&screen, back, nullptr, DDBLT_WAIT, nullptr), DD_OK);
        EXPECT_EQ(device->Release(), 0u);
    } else {
        *failure = messages;
    }
    host::SetDebugOutputSink(nullptr);
    host::SetFrameSink(nullptr);
    z->Release();
    back->Release();
    primary->Release();
    direct3D->Release();
    EXPECT_EQ(directDraw->Release(), 0u);
    return frame;
}

} // namespace gl_test
