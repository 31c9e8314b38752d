// Textures from the store on the GL devices: a BMP and a TGA made here come out pixel for pixel,
// and the show's own textures draw alike on the window device and the software device. Pictures
// go to gl-out/ for looking at.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/ddraw/pixel_formats.h"
#include "platform/desktop/desktop_host.h"
#include "platform/drivers/real_drivers.h"
#include "platform/host/drivers.h"
#include "platform/host/host.h"
#include "platform/win32/user.h"
#include "support/gl_test_support.h"
#include "support/image_files.h"
#include "support/window_render.h"
#include "support/window_test_support.h"
#include "texture/texture_surfaces.h"

using namespace test_images;
namespace fs = std::filesystem;

namespace {

// A scratch working directory and registry file for the test's lifetime; the store is emptied
// at the end.
class ScratchPlace {
public:
    ScratchPlace() {
        root_ = fs::temp_directory_path() / ("lumenfall-gltex-" + std::to_string(getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_);
        previous_ = fs::current_path();
        fs::current_path(root_);
        registry_ = (root_ / "registry.ini").string();
        setenv("LUMENFALL_REGISTRY", registry_.c_str(), 1);
    }
    ~ScratchPlace() {
        InvalidateAllTextures();
        while (textureStore.head != nullptr) {
            RemoveTexture(textureStore.head->name);
        }
        fs::current_path(previous_);
        unsetenv("LUMENFALL_REGISTRY");
        fs::remove_all(root_);
    }
    // Pictures go beside the other GL tests' pictures, not into the scratch folder.
    std::string Picture(const std::string& name) const {
        mkdir((previous_ / "gl-out").c_str(), 0755);
        return (previous_ / "gl-out" / (name + ".png")).string();
    }
    void MediaFolderIs(const fs::path& media) {
        const std::string text = "[HKEY_LOCAL_MACHINE\\Software\\Quorvane\\DirectX]\n"
                                 "Kestrel Samples Path=" +
                                 media.parent_path().parent_path().string() + "\n";
        WriteFile(registry_, Bytes(text.begin(), text.end()));
    }

private:
    fs::path root_, previous_;
    std::string registry_;
};

// Texture colours as they are, point-sampled, without lighting.
void PlainTexturedScene(IDirect3DDevice7* device) {
    device->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    device->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_POINT);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
}

void DrawQuad(IDirect3DDevice7* device, float x0, float y0, float x1, float y1) {
    D3DVERTEX quad[4] = {{x1, y1, 0.5f, 0, 0, -1, 1, 0},
                         {x1, y0, 0.5f, 0, 0, -1, 1, 1},
                         {x0, y1, 0.5f, 0, 0, -1, 0, 0},
                         {x0, y0, 0.5f, 0, 0, -1, 0, 1}};
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_VERTEX, quad, 4, 0);
}

void ExpectColor(gl_test::Rgb pixel, int r, int g, int b, const char* where) {
    EXPECT_NEAR(pixel.r, r, 2) << where;
    EXPECT_NEAR(pixel.g, g, 2) << where;
    EXPECT_NEAR(pixel.b, b, 2) << where;
}

} // namespace

TEST(GlTextureStore, ABmpAndATgaFromTheStoreDrawAsStored) {
    gl_test::OffscreenRig rig(64, 32, 32);
    ASSERT_TRUE(rig.Ready()) << rig.Failure();
    ScratchPlace place;

    // An 8-bit BMP in quadrants: red, green / blue, white (a palette texture on this device).
    BmpLayout bmp;
    bmp.width = 4;
    bmp.height = 4;
    bmp.bitCount = 8;
    bmp.colors = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    bmp.pixels = PadRows({{0, 0, 1, 1}, {0, 0, 1, 1}, {2, 2, 3, 3}, {2, 2, 3, 3}});
    WriteFile("quads.bmp", BuildBmp(bmp));
    // A 32-bit run-length TGA stored bottom row first: yellow, cyan / magenta, grey on screen.
    TgaLayout tga;
    tga.imageType = 10;
    tga.width = 2;
    tga.height = 2;
    tga.pixelDepth = 32;
    tga.body = {0x00, 255, 0,   255, 40,  0x00, 128, 128, 128, 200, // bottom: magenta, grey
                0x01, 0,   255, 255, 255, 255,  255, 0,   7};       // top: yellow, cyan
    WriteFile("quads.tga", BuildTga(tga));
    ASSERT_EQ(AddTexture("quads.bmp", 0, 0), S_OK);
    ASSERT_EQ(AddTexture("quads.tga", 0, 0), S_OK);
    ASSERT_EQ(RestoreAllTextures(rig.device), S_OK);
    ASSERT_NE(GetTextureSurface("quads.bmp"), nullptr);
    ASSERT_NE(GetTextureSurface("quads.tga"), nullptr);

    rig.SetUpPlainScene();
    PlainTexturedScene(rig.device);
    rig.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1, 0);
    rig.device->BeginScene();
    rig.device->SetTexture(0, GetTextureSurface("quads.bmp"));
    DrawQuad(rig.device, -1, -1, 0, 1);
    rig.device->SetTexture(0, GetTextureSurface("quads.tga"));
    DrawQuad(rig.device, 0, -1, 1, 1);
    rig.device->EndScene();
    rig.device->SetTexture(0, nullptr);
    gl_test::SavePng(place.Picture("store_bmp_and_tga"), 64, 32, rig.Rgba());

    ExpectColor(rig.Pixel(8, 8), 255, 0, 0, "bmp top left");
    ExpectColor(rig.Pixel(24, 8), 0, 255, 0, "bmp top right");
    ExpectColor(rig.Pixel(8, 24), 0, 0, 255, "bmp bottom left");
    ExpectColor(rig.Pixel(24, 24), 255, 255, 255, "bmp bottom right");
    ExpectColor(rig.Pixel(40, 8), 255, 255, 0, "tga top left");
    ExpectColor(rig.Pixel(56, 8), 0, 255, 255, "tga top right");
    ExpectColor(rig.Pixel(40, 24), 255, 0, 255, "tga bottom left");
    ExpectColor(rig.Pixel(56, 24), 128, 128, 128, "tga bottom right");
}

// The program asks for its 24-bit pictures' own depth first and settles for 16 bits: with 32-bit
// colour the device lists a 24-bit format, and the picture keeps every bit; otherwise it is
// quantised to RGB565 as it always was.
TEST(GlTextureStore, ThirtyTwoBitColourKeepsTwentyFourBitPicturesWhole) {
    // Two colours 16 bits cannot hold: blue 3 of 255 and a grey between two 565 steps.
    BmpLayout bmp;
    bmp.width = 2;
    bmp.height = 1;
    bmp.bitCount = 24;
    bmp.pixels = PadRows({{3, 1, 2, 133, 133, 133}}); // blue, green, red per pixel
    for (bool trueColour : {false, true}) {
        host::PresentationOptions options;
        options.trueColour = trueColour;
        gl_test::ScopedPresentation presentation(options);
        gl_test::OffscreenRig rig(16, 8, 32);
        ASSERT_TRUE(rig.Ready()) << rig.Failure();
        ScratchPlace place;
        WriteFile("fine.bmp", BuildBmp(bmp));
        ASSERT_EQ(AddTexture("fine.bmp", 0, 0), S_OK);
        ASSERT_EQ(RestoreAllTextures(rig.device), S_OK);
        DDPIXELFORMAT format{};
        format.dwSize = sizeof(format);
        GetTextureSurface("fine.bmp")->GetPixelFormat(&format);
        EXPECT_EQ(format.dwRGBBitCount, trueColour ? 24u : 16u);

        rig.SetUpPlainScene();
        PlainTexturedScene(rig.device);
        rig.device->BeginScene();
        rig.device->SetTexture(0, GetTextureSurface("fine.bmp"));
        DrawQuad(rig.device, -1, -1, 1, 1);
        rig.device->EndScene();
        rig.device->SetTexture(0, nullptr);
        const gl_test::Rgb dark = rig.Pixel(2, 4), grey = rig.Pixel(12, 4);
        if (trueColour) {
            EXPECT_EQ(dark.r, 2);
            EXPECT_EQ(dark.g, 1);
            EXPECT_EQ(dark.b, 3);
            EXPECT_EQ(grey.r, 133);
            EXPECT_EQ(grey.g, 133);
        } else {
            EXPECT_EQ(dark.b, 0); // below the first 5-bit step
            EXPECT_EQ(grey.r, 132);
            EXPECT_EQ(grey.g, 134);
        }
    }
}

namespace {

constexpr int SHOW_WIDTH = 640;
constexpr int SHOW_HEIGHT = 480;
const char* const SHOW_TEXTURES[] = {"title.bmp",   "file.bmp",    "misc.bmp",
                                     "the_end.bmp", "nosound.bmp", "gleam.tga"};

// The show's textures, restored for the device, one quad each in a 3 x 2 grid; answers the
// picture (4 bytes a pixel, top row first), empty when the device could not be made.
std::vector<BYTE> DrawShowTextures(HWND window, const GUID& deviceGuid, std::string* failure) {
    void* object = nullptr;
    DirectDrawCreateEx(nullptr, &object, IID_IDirectDraw7, nullptr);
    auto* directDraw = static_cast<IDirectDraw7*>(object);
    directDraw->SetCooperativeLevel(window, DDSCL_NORMAL);
    const DDPIXELFORMAT xrgb = ddraw::MakePixelFormat(ddraw::PixelKind::XRGB8888);
    IDirectDrawSurface7* target = gl_test::MakeSurface(
        directDraw, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, SHOW_WIDTH, SHOW_HEIGHT, &xrgb);
    IDirect3D7* direct3D = nullptr;
    directDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&direct3D));
    IDirect3DDevice7* device = nullptr;
    std::string messages;
    host::SetDebugOutputSink([&messages](const char* text) { messages += text; });
    std::vector<BYTE> picture;
    if (direct3D->CreateDevice(deviceGuid, target, &device) == D3D_OK) {
        EXPECT_EQ(RestoreAllTextures(device), S_OK);
        D3DMATRIX identity{};
        identity._11 = identity._22 = identity._33 = identity._44 = 1;
        device->SetTransform(D3DTRANSFORMSTATE_WORLD, &identity);
        device->SetTransform(D3DTRANSFORMSTATE_VIEW, &identity);
        device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &identity);
        PlainTexturedScene(device);
        device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
        device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF203040, 1, 0);
        device->BeginScene();
        for (int i = 0; i < 6; ++i) {
            IDirectDrawSurface7* texture = GetTextureSurface(SHOW_TEXTURES[i]);
            EXPECT_NE(texture, nullptr) << SHOW_TEXTURES[i];
            device->SetTexture(0, texture);
            const float x0 = -1.0f + 0.02f + (i % 3) * (2.0f / 3);
            const float y1 = 1.0f - 0.02f - (i / 3) * 1.0f;
            DrawQuad(device, x0, y1 - 0.96f, x0 + 2.0f / 3 - 0.04f, y1);
        }
        device->EndScene();
        device->SetTexture(0, nullptr);
        InvalidateAllTextures();
        EXPECT_EQ(device->Release(), 0u);

        picture = gl_test::ReadSurfaceRgba(target);
    } else {
        *failure = messages;
    }
    host::SetDebugOutputSink(nullptr);
    target->Release();
    direct3D->Release();
    EXPECT_EQ(directDraw->Release(), 0u);
    return picture;
}

// How much a square of the picture varies: a quad showing a picture is not one flat colour.
int Spread(const std::vector<BYTE>& rgba, int cx, int cy) {
    int low = 255, high = 0;
    for (int y = cy - 40; y < cy + 40; ++y) {
        for (int x = cx - 60; x < cx + 60; ++x) {
            for (int c = 0; c < 3; ++c) {
                const int v = rgba[(size_t(y) * SHOW_WIDTH + x) * 4 + c];
                low = std::min(low, v);
                high = std::max(high, v);
            }
        }
    }
    return high - low;
}

} // namespace

TEST(GlTextureStore, TheShowsTexturesDrawAlikeOnBothDevices) {
    ScratchPlace place;
    place.MediaFolderIs(LUMENFALL_MEDIA_DIR);
    for (const char* name : SHOW_TEXTURES) {
        ASSERT_EQ(AddTexture(name, 0, 0), S_OK) << name;
    }

    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    ASSERT_TRUE(desktop::InstallDesktopHost()) << "SDL's video could not start";
    HWND window =
        window_test::CreateTestWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, SHOW_WIDTH, SHOW_HEIGHT);
    ASSERT_NE(window, nullptr);
    std::vector<BYTE> pictures[2];
    std::string failure;
    {
        host::ScopedDrivers realDrivers(drivers::BuildRealDrivers());
        pictures[0] = DrawShowTextures(window, IID_IDirect3DHALDevice, &failure);
        EXPECT_FALSE(pictures[0].empty()) << "window device: " << failure;
        pictures[1] = DrawShowTextures(window, IID_IDirect3DRGBDevice, &failure);
        EXPECT_FALSE(pictures[1].empty()) << "software device: " << failure;
    }
    DestroyWindow(window);
    window_test::ResetUserState();
    desktop::UninstallDesktopHost();
    ASSERT_FALSE(pictures[0].empty() || pictures[1].empty());

    gl_test::SavePng(place.Picture("show_textures_window_device"), SHOW_WIDTH, SHOW_HEIGHT,
                     pictures[0]);
    gl_test::SavePng(place.Picture("show_textures_software_device"), SHOW_WIDTH, SHOW_HEIGHT,
                     pictures[1]);
    size_t differing = 0;
    for (size_t i = 0; i < pictures[0].size(); ++i) {
        differing += std::abs(int(pictures[0][i]) - int(pictures[1][i])) > 2 ? 1 : 0;
    }
    EXPECT_LT(differing, pictures[0].size() / 200);
    for (int i = 0; i < 6; ++i) {
        const int cx = (i % 3) * SHOW_WIDTH / 3 + SHOW_WIDTH / 6;
        const int cy = (i / 3) * SHOW_HEIGHT / 2 + SHOW_HEIGHT / 4;
        EXPECT_GT(Spread(pictures[1], cx, cy), 40) << SHOW_TEXTURES[i] << " looks blank";
    }
}
