// The same scene through both devices of the real driver set: the hardware-class device on a
// window's own GL context (SDL's offscreen video driver, so no display is needed) and the
// software device through EGL. The frames reach the test through the frame sink; they must match
// within a small tolerance. Both pictures are saved in gl-out/ for looking at.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/ddraw/pixel_formats.h"
#include "platform/desktop/desktop_host.h"
#include "platform/drivers/real_drivers.h"
#include "platform/host/drivers.h"
#include "platform/host/host.h"
#include "platform/win32/user.h"
#include "support/gl_test_support.h"
#include "support/window_render.h"
#include "support/window_test_support.h"

namespace {

constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;

D3DMATRIX Identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1;
    return m;
}

// The demo's camera and projection: looking down from 600 units, a third of pi wide.
void SetCamera(IDirect3DDevice7* device) {
    D3DMATRIX view{};
    view._11 = 1;
    view._23 = -1;
    view._32 = 1;
    view._43 = 600;
    view._44 = 1;
    const float h = 1.0f / std::tan(3.14159265f / 6.0f);
    const float q = 1000.0f / (1000.0f - 1.0f);
    D3DMATRIX projection{};
    projection._11 = h * float(HEIGHT) / float(WIDTH);
    projection._22 = h;
    projection._33 = q;
    projection._34 = 1;
    projection._43 = -q;
    D3DMATRIX world = Identity();
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
    device->SetTransform(D3DTRANSFORMSTATE_VIEW, &view);
    device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
}

void Grey(IDirect3DDevice7* device, float level) {
    D3DMATERIAL7 material{};
    material.diffuse = material.ambient = {level, level, level, 1};
    device->SetMaterial(&material);
}

// A flat quad in the plane y = 0 in the demo's vertex order.
void Quad(IDirect3DDevice7* device, float x0, float z0, float x1, float z1, float u = 1) {
    D3DVERTEX quad[4] = {{x1, 0, z1, 0, 1, 0, u, 0},
                         {x1, 0, z0, 0, 1, 0, u, u},
                         {x0, 0, z1, 0, 1, 0, 0, 0},
                         {x0, 0, z0, 0, 1, 0, 0, u}};
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_VERTEX, quad, 4, 0);
}

// A small pyramid, lit from above: four slopes in four grey levels.
void Pyramid(IDirect3DDevice7* device, float x, float z, float size) {
    const float s = size, top = size;
    D3DVERTEX v[12];
    const float corners[4][2] = {{-s, -s}, {s, -s}, {s, s}, {-s, s}};
    for (int i = 0; i < 4; ++i) {
        const float* a = corners[i];
        const float* b = corners[(i + 1) % 4];
        const float nx = (a[1] - b[1]), nz = (b[0] - a[0]); // outwards
        const float length = std::sqrt(nx * nx + nz * nz + 4 * s * s);
        const D3DVERTEX base{0, 0, 0, nx / length, 2 * s / length, nz / length, 0, 0};
        v[3 * i + 0] = base;
        v[3 * i + 0].x = x + a[0];
        v[3 * i + 0].z = z + a[1];
        v[3 * i + 1] = base;
        v[3 * i + 1].x = x;
        v[3 * i + 1].y = top;
        v[3 * i + 1].z = z;
        v[3 * i + 2] = base;
        v[3 * i + 2].x = x + b[0];
        v[3 * i + 2].z = z + b[1];
    }
    WORD indices[12];
    for (WORD i = 0; i < 12; ++i) {
        indices[i] = i;
    }
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, v, 12, indices, 12, 0);
}

void DrawScene(IDirectDraw7* directDraw, IDirect3DDevice7* device) {
    SetCamera(device);
    D3DLIGHT7 light{};
    light.dltType = D3DLIGHT_DIRECTIONAL;
    light.dcvDiffuse = {1, 1, 1, 1};
    light.dvDirection = {0.3f, -1.0f, 0.2f};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRENDERSTATE_AMBIENT, 0x40404040);
    device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);

    // A 16 x 16 texture of soft diagonal stripes.
    const DDPIXELFORMAT format = ddraw::MakePixelFormat(ddraw::PixelKind::RGB565);
    IDirectDrawSurface7* texture =
        gl_test::MakeSurface(directDraw, DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY, 16, 16, &format);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    if (texture->Lock(nullptr, &desc, 0, nullptr) == DD_OK) {
        for (int y = 0; y < 16; ++y) {
            auto* row =
                reinterpret_cast<WORD*>(static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch);
            for (int x = 0; x < 16; ++x) {
                const int level = ((x + y) % 8) * 4;
                row[x] = WORD((level << 11) | ((31 - level) << 6) | 20);
            }
        }
        texture->Unlock(nullptr);
    }

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00001843, 1, 0);
    device->BeginScene();
    Grey(device, 0.8f);
    device->SetTexture(0, texture);
    Quad(device, -300, -200, 0, 100, 2);
    device->SetTexture(0, nullptr);
    Grey(device, 0.6f);
    Pyramid(device, 150, 0, 90);
    device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    Grey(device, 0.3f);
    Quad(device, -100, -150, 250, 50);
    Grey(device, -0.5f); // lights to black: adds nothing
    Quad(device, -400, -300, 400, 300);
    device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRENDERSTATE_ZENABLE, TRUE);
    Grey(device, 0.0f);
    Quad(device, -550, 250, 550, 350); // a letterbox bar
    device->EndScene();
    device->SetTexture(0, nullptr);
    texture->Release();
}

// Renders the scene in the window with the device and answers the presented frame.
gl_test::WindowFrame Render(HWND window, const GUID& deviceGuid, std::string* failure) {
    return gl_test::RenderThroughWindow(window, deviceGuid, WIDTH, HEIGHT, DrawScene, failure);
}

TEST(GlDevicesMatch, TheWindowDeviceAndTheSoftwareDeviceDrawTheSamePicture) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    ASSERT_TRUE(desktop::InstallDesktopHost()) << "SDL's video could not start";
    HWND window = window_test::CreateTestWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, WIDTH, HEIGHT);
    ASSERT_NE(window, nullptr);
    gl_test::WindowFrame frames[2];
    {
        host::ScopedDrivers realDrivers(drivers::BuildRealDrivers());
        const auto& devices = host::Drivers()[0]->devices;
        ASSERT_EQ(devices.size(), 2u);
        EXPECT_NE(devices[0]->name, devices[1]->name);
        EXPECT_LE(devices[0]->name.size(), 38u);
        EXPECT_LE(devices[1]->name.size(), 38u);
        std::string failure;
        frames[0] = Render(window, IID_IDirect3DHALDevice, &failure);
        ASSERT_EQ(frames[0].width, WIDTH) << "window device: " << failure;
        frames[1] = Render(window, IID_IDirect3DRGBDevice, &failure);
        ASSERT_EQ(frames[1].width, WIDTH) << "software device: " << failure;
    }
    DestroyWindow(window);
    window_test::ResetUserState();
    desktop::UninstallDesktopHost();

    mkdir("gl-out", 0755);
    gl_test::SavePng("gl-out/scene_window_device.png", WIDTH, HEIGHT, frames[0].rgba);
    gl_test::SavePng("gl-out/scene_software_device.png", WIDTH, HEIGHT, frames[1].rgba);
    // Same rasteriser family, same programs: nearly every pixel agrees to a level or two; edges
    // of triangles may differ where the two contexts split pixels differently.
    size_t differing = 0;
    int largest = 0;
    for (size_t i = 0; i < frames[0].rgba.size(); ++i) {
        const int difference = std::abs(int(frames[0].rgba[i]) - int(frames[1].rgba[i]));
        largest = std::max(largest, difference);
        differing += difference > 2 ? 1 : 0;
    }
    EXPECT_LT(differing, frames[0].rgba.size() / 200) << "largest difference " << largest;
    // The scene is not blank: the textured quad and the pyramid are there.
    int lit = 0;
    for (size_t i = 0; i < frames[1].rgba.size(); i += 4) {
        lit += frames[1].rgba[i] > 100 ? 1 : 0;
    }
    EXPECT_GT(lit, WIDTH * HEIGHT / 20);
}

} // namespace
