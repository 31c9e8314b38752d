// The show's three models drawn through MeshFile::Render on both devices of the real driver set
// (the window device on SDL's offscreen video driver, and the software device through EGL), from
// a fixed camera, lit from above. Each picture is saved in gl-out/ for looking at; the model must
// cover a fair part of the frame, and the two devices must agree.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "math/camera.h"
#include "math/render_records.h"
#include "mesh/mesh_file.h"
#include "platform/ddraw/pixel_formats.h"
#include "platform/desktop/desktop_host.h"
#include "platform/drivers/real_drivers.h"
#include "platform/host/drivers.h"
#include "platform/host/host.h"
#include "support/gl_test_support.h"
#include "support/window_render.h"
#include "support/window_test_support.h"

namespace {

constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;
constexpr D3DCOLOR BACKGROUND = 0x00102040;

// The box around every vertex of the file (frame transforms aside: the models' frames keep
// their meshes near the origin).
struct Bounds {
    D3DVECTOR low{1e30f, 1e30f, 1e30f};
    D3DVECTOR high{-1e30f, -1e30f, -1e30f};
};

Bounds Measure(MeshFile& file) {
    Bounds bounds;
    file.EnumerateNodes(
        [](MeshNode* node, void* context) {
            Bounds& b = *static_cast<Bounds*>(context);
            for (DWORD i = 0; i < node->vertexCount; ++i) {
                const D3DVERTEX& v = node->vertices[i];
                b.low = {std::min(b.low.x, v.x), std::min(b.low.y, v.y), std::min(b.low.z, v.z)};
                b.high = {std::max(b.high.x, v.x), std::max(b.high.y, v.y),
                          std::max(b.high.z, v.z)};
            }
            return 0;
        },
        &bounds);
    return bounds;
}

// A camera above and in front of the model's box, far enough for all of it to fit.
void DrawModel(IDirect3DDevice7* device, MeshFile& file) {
    const Bounds bounds = Measure(file);
    const D3DVECTOR centre = {(bounds.low.x + bounds.high.x) / 2,
                              (bounds.low.y + bounds.high.y) / 2,
                              (bounds.low.z + bounds.high.z) / 2};
    const float dx = bounds.high.x - bounds.low.x, dy = bounds.high.y - bounds.low.y,
                dz = bounds.high.z - bounds.low.z;
    const float distance = 1.1f * std::sqrt(dx * dx + dy * dy + dz * dz);
    D3DMATRIX view, projection, world;
    BuildLookAtMatrix(
        view, {centre.x + 0.1f * distance, centre.y + 0.95f * distance, centre.z - 0.3f * distance},
        centre, {0, 1, 0});
    BuildProjectionMatrix(projection, 3.14159265f / 4, float(HEIGHT) / float(WIDTH),
                          distance * 0.05f, distance * 4);
    BuildIdentityMatrix(world);
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
    device->SetTransform(D3DTRANSFORMSTATE_VIEW, &view);
    device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
    D3DLIGHT7 light{};
    light.dltType = D3DLIGHT_DIRECTIONAL;
    light.dcvDiffuse = {1, 1, 1, 1};
    light.dvDirection = {0.4f, -1.0f, 0.5f};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRENDERSTATE_AMBIENT, 0x40404040);
    D3DMATERIAL7 material;
    FillMaterial(material, 0.9f, 0.8f, 0.6f, 1.0f);
    device->SetMaterial(&material);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, BACKGROUND, 1, 0);
    device->BeginScene();
    EXPECT_EQ(file.Render(device), S_OK);
    device->EndScene();
}

// Draws the model in the window with the device and answers the presented frame.
gl_test::WindowFrame Render(HWND window, const GUID& deviceGuid, MeshFile& file,
                            std::string* failure) {
    return gl_test::RenderThroughWindow(
        window, deviceGuid, WIDTH, HEIGHT,
        [&file](IDirectDraw7*, IDirect3DDevice7* device) { DrawModel(device, file); }, failure);
}

// Share of the pixels that are not the background.
double Coverage(const gl_test::WindowFrame& frame) {
    size_t covered = 0;
    for (size_t i = 0; i + 3 < frame.rgba.size(); i += 4) {
        const int r = frame.rgba[i], g = frame.rgba[i + 1], b = frame.rgba[i + 2];
        covered += std::abs(r - 0x10) + std::abs(g - 0x20) + std::abs(b - 0x40) > 12 ? 1 : 0;
    }
    return double(covered) / double(WIDTH * HEIGHT);
}

TEST(MeshPictures, TheShowsModelsDrawAlikeOnBothDevices) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    ASSERT_TRUE(desktop::InstallDesktopHost()) << "SDL's video could not start";
    HWND window = window_test::CreateTestWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, WIDTH, HEIGHT);
    ASSERT_NE(window, nullptr);
    mkdir("gl-out", 0755);
    {
        host::ScopedDrivers realDrivers(drivers::BuildRealDrivers());
        for (const char* name : {"object.1", "object.2", "object.3"}) {
            SCOPED_TRACE(name);
            MeshFile file;
            ASSERT_EQ(file.Load((std::string(LUMENFALL_MEDIA_DIR) + "/" + name).c_str()), S_OK);
            std::string failure;
            const gl_test::WindowFrame onWindow =
                Render(window, IID_IDirect3DHALDevice, file, &failure);
            ASSERT_EQ(onWindow.rgba.size(), size_t(WIDTH) * HEIGHT * 4) << failure;
            const gl_test::WindowFrame inSoftware =
                Render(window, IID_IDirect3DRGBDevice, file, &failure);
            ASSERT_EQ(inSoftware.rgba.size(), size_t(WIDTH) * HEIGHT * 4) << failure;
            const std::string base = std::string("gl-out/mesh_") + (name + 7);
            gl_test::SavePng(base + "_window_device.png", WIDTH, HEIGHT, onWindow.rgba);
            gl_test::SavePng(base + "_software_device.png", WIDTH, HEIGHT, inSoftware.rgba);

            EXPECT_GT(Coverage(onWindow), 0.04);
            EXPECT_LT(Coverage(onWindow), 0.9);
            size_t differing = 0;
            for (size_t i = 0; i < onWindow.rgba.size(); ++i) {
                differing += std::abs(int(onWindow.rgba[i]) - int(inSoftware.rgba[i])) > 2 ? 1 : 0;
            }
            EXPECT_LT(differing, onWindow.rgba.size() / 100);
        }
    }
    DestroyWindow(window);
    window_test::ResetUserState();
    desktop::UninstallDesktopHost();
}

} // namespace
