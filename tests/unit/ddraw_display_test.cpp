// DirectDraw over the driver set: enumeration, creation, cooperative levels, virtual display
// modes, primary surfaces with flipping chains or clippers, presentation and surface loss.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ddraw/ddraw.h"
#include "platform/host/presentation.h"
#include "support/graphics_test_support.h"

using gfx_test::CreateDirectDraw;
using gfx_test::FakeWindow;

namespace {

const GUID SECONDARY_GUID = {0x11111111, 0x2222, 0x3333, {4, 5, 6, 7, 8, 9, 10, 11}};

struct Frame {
    HWND window;
    int width, height;
    std::vector<BYTE> rgba;
};

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::SetFrameSink([this](const host::PresentedFrame& frame) {
            Frame copy{frame.window, frame.width, frame.height, {}};
            for (int y = 0; y < frame.height; ++y) {
                copy.rgba.insert(copy.rgba.end(), frame.rgba + y * frame.pitch,
                                 frame.rgba + y * frame.pitch + frame.width * 4);
            }
            frames.push_back(std::move(copy));
        });
    }
    void TearDown() override { host::SetFrameSink(nullptr); }

    static DDSURFACEDESC2 PrimaryDesc(bool flipping) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | (flipping ? DDSD_BACKBUFFERCOUNT : 0);
        desc.dwBackBufferCount = flipping ? 1 : 0;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_3DDEVICE |
                              (flipping ? DDSCAPS_FLIP | DDSCAPS_COMPLEX : 0);
        return desc;
    }

    std::vector<Frame> frames;
};

BOOL CollectDrivers(GUID* guid, LPSTR description, LPSTR, LPVOID context, HMONITOR) {
    auto* seen = static_cast<std::vector<std::string>*>(context);
    seen->push_back(std::string(guid == nullptr ? "null:" : "guid:") + description);
    return DDENUMRET_OK;
}

TEST_F(DisplayTest, EnumerationReportsThePrimaryWithANullGuidAndSecondariesOnlyWhenAsked) {
    host::ScopedDrivers drivers(
        {test_drivers::TypicalFakeDriver(),
         test_drivers::FakeDriver().Guid(SECONDARY_GUID).Description("Second Card").Build()});
    std::vector<std::string> seen;
    ASSERT_EQ(DirectDrawEnumerateExA(CollectDrivers, &seen, 0), DD_OK);
    EXPECT_EQ(seen, (std::vector<std::string>{"null:Fake Display Driver"}));
    seen.clear();
    ASSERT_EQ(DirectDrawEnumerateExA(CollectDrivers, &seen,
                                     DDENUM_ATTACHEDSECONDARYDEVICES |
                                         DDENUM_DETACHEDSECONDARYDEVICES |
                                         DDENUM_NONDISPLAYDEVICES),
              DD_OK);
    EXPECT_EQ(seen, (std::vector<std::string>{"null:Fake Display Driver", "guid:Second Card"}));

    auto stopAtFirst = [](GUID*, LPSTR, LPSTR, LPVOID context, HMONITOR) -> BOOL {
        ++*static_cast<int*>(context);
        return DDENUMRET_CANCEL;
    };
    int calls = 0;
    DirectDrawEnumerateExA(stopAtFirst, &calls, DDENUM_ATTACHEDSECONDARYDEVICES);
    EXPECT_EQ(calls, 1);

    GUID secondary = SECONDARY_GUID;
    IDirectDraw7* second = CreateDirectDraw(&secondary);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Release(), 0u);
    GUID unknown = SECONDARY_GUID;
    unknown.Data1 = 0;
    void* none = nullptr;
    EXPECT_EQ(DirectDrawCreateEx(&unknown, &none, IID_IDirectDraw7, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(DirectDrawCreateEx(nullptr, &none, IID_IDirectDrawSurface7, nullptr),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(none, nullptr);
}

TEST_F(DisplayTest, InjectedFailuresReachTheCaller) {
    host::DriverFailures failures;
    failures.createDirectDraw = DDERR_GENERIC;
    host::ScopedDrivers drivers({test_drivers::FakeDriver().Failures(failures).Build()});
    void* object = nullptr;
    EXPECT_EQ(DirectDrawCreateEx(nullptr, &object, IID_IDirectDraw7, nullptr), DDERR_GENERIC);

    host::Drivers()[0]->failures = host::DriverFailures{};
    host::Drivers()[0]->failures.queryDirect3D = E_NOINTERFACE;
    host::Drivers()[0]->failures.testCooperativeLevel = DDERR_WRONGMODE;
    host::Drivers()[0]->failures.createSurface = DDERR_OUTOFVIDEOMEMORY;
    host::Drivers()[0]->failures.createSurfaceCaps = DDSCAPS_ZBUFFER;
    IDirectDraw7* directDraw = CreateDirectDraw();
    void* direct3D = nullptr;
    EXPECT_EQ(directDraw->QueryInterface(IID_IDirect3D7, &direct3D), E_NOINTERFACE);
    EXPECT_EQ(direct3D, nullptr);
    ASSERT_EQ(directDraw->SetCooperativeLevel(FakeWindow(), DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(directDraw->TestCooperativeLevel(), DDERR_WRONGMODE);

    // Only the surfaces the failure names fail.
    IDirectDrawSurface7* texture =
        gfx_test::CreateSurface(directDraw, 4, 4, ddraw::PixelKind::RGB565);
    ASSERT_NE(texture, nullptr);
    DDSURFACEDESC2 z{};
    z.dwSize = sizeof(z);
    z.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    z.dwWidth = z.dwHeight = 4;
    z.ddsCaps.dwCaps = DDSCAPS_ZBUFFER;
    z.ddpfPixelFormat = ddraw::MakePixelFormat(ddraw::PixelKind::Z16);
    IDirectDrawSurface7* zBuffer = nullptr;
    EXPECT_EQ(directDraw->CreateSurface(&z, &zBuffer, nullptr), DDERR_OUTOFVIDEOMEMORY);
    texture->Release();
    EXPECT_EQ(directDraw->Release(), 0u);
}

TEST_F(DisplayTest, CooperativeLevelsAndVirtualModes) {
    host::ScopedDrivers drivers({test_drivers::FakeDriver()
                                     .Mode(640, 480, 16)
                                     .Mode(800, 600, 32)
                                     .DesktopMode(1280, 1024, 8)
                                     .Build()});
    IDirectDraw7* directDraw = CreateDirectDraw();
    EXPECT_EQ(directDraw->TestCooperativeLevel(), DDERR_NOCOOPERATIVELEVELSET);
    EXPECT_EQ(directDraw->SetCooperativeLevel(FakeWindow(), DDSCL_EXCLUSIVE), DDERR_INVALIDPARAMS);
    EXPECT_EQ(directDraw->SetCooperativeLevel(FakeWindow(), DDSCL_NORMAL | DDSCL_FULLSCREEN),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(directDraw->SetCooperativeLevel(nullptr, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE),
              DDERR_INVALIDPARAMS);
    ASSERT_EQ(directDraw->SetCooperativeLevel(FakeWindow(), DDSCL_NORMAL | DDSCL_FPUSETUP), DD_OK);
    EXPECT_EQ(directDraw->SetDisplayMode(640, 480, 16, 0, 0), DDERR_NOEXCLUSIVEMODE);

    // The desktop mode is what the low-colour check of the program reads.
    DDSURFACEDESC2 mode{};
    mode.dwSize = sizeof(mode);
    ASSERT_EQ(directDraw->GetDisplayMode(&mode), DD_OK);
    EXPECT_EQ(mode.dwWidth, 1280u);
    EXPECT_EQ(mode.ddpfPixelFormat.dwRGBBitCount, 8u);

    const DWORD exclusive = DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE | DDSCL_ALLOWREBOOT;
    ASSERT_EQ(directDraw->SetCooperativeLevel(FakeWindow(), exclusive), DD_OK);
    EXPECT_EQ(directDraw->SetDisplayMode(1024, 768, 16, 0, 0), DDERR_INVALIDMODE);
    EXPECT_EQ(directDraw->SetDisplayMode(640, 480, 32, 0, 0), DDERR_INVALIDMODE);
    ASSERT_EQ(directDraw->SetDisplayMode(800, 600, 32, 0, 0), DD_OK);
    ASSERT_EQ(directDraw->GetDisplayMode(&mode), DD_OK);
    EXPECT_EQ(mode.dwWidth, 800u);
    EXPECT_EQ(mode.ddpfPixelFormat.dwRGBBitCount, 32u);

    // One exclusive owner per process.
    IDirectDraw7* other = CreateDirectDraw();
    EXPECT_EQ(other->SetCooperativeLevel(FakeWindow(), exclusive), DDERR_EXCLUSIVEMODEALREADYSET);
    ASSERT_EQ(other->SetCooperativeLevel(FakeWindow(), DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(other->TestCooperativeLevel(), DDERR_EXCLUSIVEMODEALREADYSET);
    EXPECT_EQ(directDraw->TestCooperativeLevel(), DD_OK);

    // Back to normal: the desktop mode again, and the other object may go exclusive.
    ASSERT_EQ(directDraw->SetCooperativeLevel(FakeWindow(), DDSCL_NORMAL), DD_OK);
    ASSERT_EQ(directDraw->GetDisplayMode(&mode), DD_OK);
    EXPECT_EQ(mode.dwWidth, 1280u);
    EXPECT_EQ(other->SetCooperativeLevel(FakeWindow(), exclusive), DD_OK);
    EXPECT_EQ(other->Release(), 0u);
    EXPECT_EQ(directDraw->Release(), 0u);
}

TEST_F(DisplayTest, EnumDisplayModesListsTheDriverModesInOrderAndHonoursFilterAndCancel) {
    host::ScopedDrivers drivers(test_drivers::TypicalFakeDrivers());
    IDirectDraw7* directDraw = CreateDirectDraw();
    std::vector<std::string> seen;
    auto collect = [](DDSURFACEDESC2* mode, LPVOID context) -> HRESULT {
        static_cast<std::vector<std::string>*>(context)->push_back(
            std::to_string(mode->dwWidth) + "x" +
            std::to_string(mode->ddpfPixelFormat.dwRGBBitCount));
        return DDENUMRET_OK;
    };
    ASSERT_EQ(directDraw->EnumDisplayModes(0, nullptr, &seen, collect), DD_OK);
    ASSERT_EQ(seen.size(), 15u);
    EXPECT_EQ(seen.front(), "640x8");
    EXPECT_EQ(seen.back(), "1600x32");

    seen.clear();
    DDSURFACEDESC2 filter{};
    filter.dwSize = sizeof(filter);
    filter.dwFlags = DDSD_PIXELFORMAT;
    filter.ddpfPixelFormat.dwRGBBitCount = 16;
    ASSERT_EQ(directDraw->EnumDisplayModes(0, &filter, &seen, collect), DD_OK);
    EXPECT_EQ(seen,
              (std::vector<std::string>{"640x16", "800x16", "1024x16", "1280x16", "1600x16"}));

    int calls = 0;
    directDraw->EnumDisplayModes(
        0, nullptr, &calls, [](DDSURFACEDESC2*, LPVOID context) -> HRESULT {
            return ++*static_cast<int*>(context) == 2 ? DDENUMRET_CANCEL : DDENUMRET_OK;
        });
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(directDraw->Release(), 0u);
}

TEST_F(DisplayTest, FullScreenChainHasTheModeSizeAndFlipPresentsTheBackBuffer) {
    host::ScopedDrivers drivers(test_drivers::TypicalFakeDrivers());
    IDirectDraw7* directDraw = CreateDirectDraw();
    DDSURFACEDESC2 desc = PrimaryDesc(true);
    IDirectDrawSurface7* primary = nullptr;
    EXPECT_EQ(directDraw->CreateSurface(&desc, &primary, nullptr), DDERR_NOCOOPERATIVELEVELSET);
    ASSERT_EQ(directDraw->SetCooperativeLevel(FakeWindow(), DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(directDraw->CreateSurface(&desc, &primary, nullptr), DDERR_NOEXCLUSIVEMODE);
    ASSERT_EQ(directDraw->SetCooperativeLevel(FakeWindow(), DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE),
              DD_OK);
    ASSERT_EQ(directDraw->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
    ASSERT_EQ(directDraw->CreateSurface(&desc, &primary, nullptr), DD_OK);
    IDirectDrawSurface7* second = nullptr;
    EXPECT_EQ(directDraw->CreateSurface(&desc, &second, nullptr),
              DDERR_PRIMARYSURFACEALREADYEXISTS);

    DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
    IDirectDrawSurface7* back = nullptr;
    ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
    DDSURFACEDESC2 backDesc{};
    backDesc.dwSize = sizeof(backDesc);
    ASSERT_EQ(back->GetSurfaceDesc(&backDesc), DD_OK);
    EXPECT_EQ(backDesc.dwWidth, 640u);
    EXPECT_EQ(backDesc.dwHeight, 480u);
    EXPECT_EQ(backDesc.ddpfPixelFormat.dwRBitMask, 0xF800u);
    EXPECT_NE(backDesc.ddsCaps.dwCaps & DDSCAPS_3DDEVICE, 0u);

    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = 0xF800; // red in RGB565
    ASSERT_EQ(back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].window, FakeWindow());
    EXPECT_EQ(frames[0].width, 640);
    EXPECT_EQ(frames[0].rgba[0], 255);
    EXPECT_EQ(frames[0].rgba[1], 0);
    EXPECT_EQ(back->Flip(nullptr, 0), DDERR_NOTFLIPPABLE);

    // Lost surfaces refuse to present until restored.
    host::LoseAllSurfaces();
    EXPECT_EQ(primary->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACELOST);
    ASSERT_EQ(directDraw->RestoreAllSurfaces(), DD_OK);
    EXPECT_EQ(back->IsLost(), DD_OK);
    EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);

    // The program takes an extra reference on the back buffer and releases it once; the chain
    // still goes with its primary, and nothing keeps the DirectDraw object alive.
    back->AddRef();
    back->Release();
    primary->Release();
    EXPECT_EQ(back->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(directDraw->Release(), 0u);
    EXPECT_EQ(back->Release(), 0u);
}

TEST_F(DisplayTest, WindowedPrimaryPresentsBlitsIntoTheClipperWindow) {
    host::ScopedDrivers drivers(test_drivers::TypicalFakeDrivers());
    IDirectDraw7* directDraw = CreateDirectDraw();
    ASSERT_EQ(directDraw->SetCooperativeLevel(FakeWindow(), DDSCL_NORMAL), DD_OK);
    DDSURFACEDESC2 desc = PrimaryDesc(false);
    IDirectDrawSurface7* primary = nullptr;
    ASSERT_EQ(directDraw->CreateSurface(&desc, &primary, nullptr), DD_OK);
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(directDraw->CreateClipper(0, &clipper, nullptr), DD_OK);
    const HWND clipped = reinterpret_cast<HWND>(0x7777);
    ASSERT_EQ(clipper->SetHWnd(0, clipped), DD_OK);
    ASSERT_EQ(primary->SetClipper(clipper), DD_OK);
    EXPECT_EQ(clipper->Release(), 1u) << "the primary keeps the clipper";

    IDirectDrawSurface7* back = gfx_test::CreateSurface(
        directDraw, 32, 24, ddraw::PixelKind::XRGB8888, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
    gfx_test::WriteRawPixels(back, std::vector<DWORD>(32 * 24, 0x00102030));
    RECT screen{100, 100, 132, 124};
    ASSERT_EQ(primary->Blt(&screen, back, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].window, clipped);
    EXPECT_EQ(frames[0].width, 32);
    EXPECT_EQ(frames[0].rgba[0], 0x10);
    EXPECT_EQ(frames[0].rgba[2], 0x30);
    EXPECT_EQ(primary->Flip(nullptr, 0), DDERR_NOTFLIPPABLE);

    host::Drivers()[0]->failures.present = DDERR_SURFACELOST;
    EXPECT_EQ(primary->Blt(&screen, back, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(back->Release(), 0u);
    EXPECT_EQ(primary->Release(), 0u);
    EXPECT_EQ(directDraw->Release(), 0u);
}

TEST_F(DisplayTest, ZBuffersAttachOnceToASurfaceOfTheirSize) {
    host::ScopedDrivers drivers(test_drivers::TypicalFakeDrivers());
    IDirectDraw7* directDraw = CreateDirectDraw();
    auto makeZ = [&](DWORD width) {
        return gfx_test::CreateSurface(directDraw, width, 16, ddraw::PixelKind::Z16,
                                       DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY);
    };
    IDirectDrawSurface7* target = gfx_test::CreateSurface(
        directDraw, 16, 16, ddraw::PixelKind::RGB565, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
    IDirectDrawSurface7* z = makeZ(16);
    IDirectDrawSurface7* wrongSize = makeZ(8);
    EXPECT_EQ(target->AddAttachedSurface(wrongSize), DDERR_CANNOTATTACHSURFACE);
    EXPECT_EQ(z->AddAttachedSurface(target), DDERR_CANNOTATTACHSURFACE);
    ASSERT_EQ(target->AddAttachedSurface(z), DD_OK);
    EXPECT_EQ(target->AddAttachedSurface(z), DDERR_SURFACEALREADYATTACHED);
    EXPECT_EQ(z->Release(), 1u) << "the target holds its z-buffer";

    DDSCAPS2 caps{DDSCAPS_ZBUFFER, 0, 0, 0};
    IDirectDrawSurface7* found = nullptr;
    ASSERT_EQ(target->GetAttachedSurface(&caps, &found), DD_OK);
    EXPECT_EQ(found, z);
    found->Release();
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    EXPECT_EQ(target->GetAttachedSurface(&caps, &found), DDERR_NOTFOUND);

    EXPECT_EQ(target->DeleteAttachedSurface(0, wrongSize), DDERR_SURFACENOTATTACHED);
    EXPECT_EQ(wrongSize->Release(), 0u);
    EXPECT_EQ(target->Release(), 0u);
    EXPECT_EQ(directDraw->Release(), 0u);
}

} // namespace
