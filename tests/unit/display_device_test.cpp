// The display device on fake drivers: what each creation step builds, the code and trace line of
// each failing step, the z-buffer format search, tear-down and presentation.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "framework/display_device.h"
#include "framework/trace_error.h"
#include "platform/ddraw/pixel_formats.h"
#include "platform/host/presentation.h"
#include "platform/win32/user.h"
#include "support/fake_drivers.h"
#include "support/graphics_test_support.h"
#include "support/shell_test_support.h"
#include "support/window_test_support.h"

namespace {

using test_drivers::FakeDevice;
using test_drivers::FakeDriver;

DDSURFACEDESC2 Mode(DWORD width, DWORD height, DWORD bits) {
    DDSURFACEDESC2 mode{};
    mode.dwSize = sizeof(mode);
    mode.dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    mode.dwWidth = width;
    mode.dwHeight = height;
    mode.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    mode.ddpfPixelFormat.dwFlags = DDPF_RGB;
    mode.ddpfPixelFormat.dwRGBBitCount = bits;
    return mode;
}

DWORD ZBufferDepth(IDirectDrawSurface7* zBuffer) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    zBuffer->GetSurfaceDesc(&desc);
    return desc.ddpfPixelFormat.dwZBufferBitDepth;
}

class DisplayDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        shell_test::ResetShellState();
        window = window_test::CreateTestWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 300);
        trace.emplace();
    }
    void TearDown() override {
        trace.reset();
        shell_test::ResetShellState();
    }

    static host::DriverSet DriverWith(const drivers::DeviceBuilder& device) {
        return {FakeDriver().StandardModes().Device(device).Build()};
    }

    HWND window = nullptr;
    DDSURFACEDESC2 mode640x16 = Mode(640, 480, 16);
    // Made after the reset, which puts the standard debug output back.
    std::optional<shell_test::DebugCapture> trace;
};

TEST_F(DisplayDeviceTest, WindowedEnvironmentRendersTheClientAreaAndBlitsToIt) {
    host::ScopedDrivers drivers(test_drivers::TypicalFakeDrivers());
    std::vector<host::PresentedFrame> frames;
    host::SetFrameSink([&](const host::PresentedFrame& frame) { frames.push_back(frame); });

    DisplayDevice display;
    ASSERT_EQ(display.Create(window, nullptr, &IID_IDirect3DHALDevice, nullptr, DISPLAY_ZBUFFER),
              S_OK);
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    EXPECT_FALSE(display.fullscreen);
    EXPECT_EQ(display.width, client.right);
    EXPECT_EQ(display.height, client.bottom);
    EXPECT_EQ(display.screenRect.left, origin.x);
    EXPECT_EQ(display.screenRect.bottom, origin.y + client.bottom);
    EXPECT_EQ(display.memoryType, DDSCAPS_VIDEOMEMORY);
    ASSERT_NE(display.GetDevice(), nullptr);
    D3DVIEWPORT7 viewport{};
    display.GetDevice()->GetViewport(&viewport);
    EXPECT_EQ(viewport.dwWidth, static_cast<DWORD>(client.right));
    EXPECT_EQ(viewport.dvMaxZ, 1.0f);
    // The desktop is 32 bits deep, so the back buffer is too, and so is its z-buffer.
    ASSERT_NE(display.zBuffer, nullptr);
    EXPECT_EQ(ZBufferDepth(display.zBuffer), 32u);
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(display.primary->GetClipper(&clipper), DD_OK);
    HWND clipped = nullptr;
    clipper->GetHWnd(&clipped);
    EXPECT_EQ(clipped, window);
    clipper->Release();

    EXPECT_EQ(display.ShowFrame(), DD_OK);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].width, client.right);
    EXPECT_EQ(display.Destroy(), S_OK);
    EXPECT_EQ(display.GetDevice(), nullptr);
    EXPECT_EQ(display.GetDirectDraw(), nullptr);
    EXPECT_TRUE(trace->Text().empty()) << trace->Text();
}

TEST_F(DisplayDeviceTest, FullScreenBuildsAFlippingChainInTheModeWithAMatchingZBuffer) {
    host::ScopedDrivers drivers(test_drivers::TypicalFakeDrivers());
    DisplayDevice display;
    ASSERT_EQ(display.Create(window, nullptr, &IID_IDirect3DRGBDevice, &mode640x16,
                             DISPLAY_FULLSCREEN | DISPLAY_ZBUFFER),
              S_OK);
    EXPECT_TRUE(display.fullscreen);
    EXPECT_EQ(display.width, 640);
    EXPECT_EQ(display.height, 480);
    EXPECT_EQ(display.screenRect.right, 640);
    EXPECT_EQ(display.memoryType, DDSCAPS_SYSTEMMEMORY);
    EXPECT_EQ(ZBufferDepth(display.zBuffer), 16u);
    // The back buffer is held once for the display device and once by the 3D device; the one
    // reference Destroy releases is all it took, so nothing is left over when the chain goes.
    EXPECT_EQ(gfx_test::RefCount(display.renderSurface), 2u);
    EXPECT_EQ(display.ShowFrame(), DD_OK);
    display.MoveScreenRect(50, 60);
    EXPECT_EQ(display.screenRect.left, 0) << "full screen keeps its rectangle";
    EXPECT_EQ(display.screenRect.bottom, 480);
}

TEST_F(DisplayDeviceTest, ALowColourDesktopRefusesEveryCreationAlsoForFullScreen) {
    host::ScopedDrivers drivers({FakeDriver()
                                     .StandardModes()
                                     .DesktopMode(1024, 768, 8)
                                     .Device(FakeDevice(IID_IDirect3DHALDevice, "HAL"))
                                     .Build()});
    DisplayDevice display;
    EXPECT_EQ(display.Create(window, nullptr, &IID_IDirect3DHALDevice, nullptr, 0),
              DISPLAY_E_LOW_COLOR_DEPTH);
    EXPECT_EQ(
        display.Create(window, nullptr, &IID_IDirect3DHALDevice, &mode640x16, DISPLAY_FULLSCREEN),
        DISPLAY_E_LOW_COLOR_DEPTH);
    EXPECT_EQ(display.GetDirectDraw(), nullptr) << "what was made is released";
    EXPECT_TRUE(trace->Text().empty()) << "this refusal is not traced";
}

TEST_F(DisplayDeviceTest, ZBufferDepthFollowsTheColourDepthElseFallsBackTo16Bits) {
    using ddraw::MakePixelFormat;
    using ddraw::PixelKind;
    host::ScopedDrivers drivers(DriverWith(
        FakeDevice(IID_IDirect3DHALDevice, "HAL")
            .ZBufferFormats({MakePixelFormat(PixelKind::Z24), MakePixelFormat(PixelKind::Z16)})));
    DDSURFACEDESC2 mode32 = Mode(800, 600, 32);
    DisplayDevice display;
    ASSERT_EQ(display.Create(window, nullptr, &IID_IDirect3DHALDevice, &mode32,
                             DISPLAY_FULLSCREEN | DISPLAY_ZBUFFER),
              S_OK);
    EXPECT_EQ(ZBufferDepth(display.zBuffer), 16u);
    display.Destroy();

    // No z-buffer asked for: none made.
    ASSERT_EQ(display.Create(window, nullptr, &IID_IDirect3DHALDevice, &mode32, DISPLAY_FULLSCREEN),
              S_OK);
    EXPECT_EQ(display.zBuffer, nullptr);
}

TEST_F(DisplayDeviceTest, ADeviceThatNeedsNoZBufferGetsNone) {
    host::ScopedDrivers drivers(
        DriverWith(FakeDevice(IID_IDirect3DHALDevice, "HAL")
                       .RasterCaps(D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_ZBUFFERLESSHSR)));
    DisplayDevice display;
    ASSERT_EQ(display.Create(window, nullptr, &IID_IDirect3DHALDevice, &mode640x16,
                             DISPLAY_FULLSCREEN | DISPLAY_ZBUFFER),
              S_OK);
    EXPECT_EQ(display.zBuffer, nullptr);
}

TEST_F(DisplayDeviceTest, LackOfVideoMemoryIsTracedTwiceAndPassedOnAsItself) {
    struct Case {
        DWORD failingCaps;
        DWORD flags;
        const char* ownText;
    };
    const Case cases[] = {
        {DDSCAPS_PRIMARYSURFACE, DISPLAY_FULLSCREEN, "Error: Can't create primary surface"},
        {DDSCAPS_OFFSCREENPLAIN, 0, "Error: Couldn't create the backbuffer"},
        {DDSCAPS_ZBUFFER, DISPLAY_FULLSCREEN | DISPLAY_ZBUFFER,
         "Error: Couldn't create a ZBuffer surface"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ownText);
        host::DriverFailures failures;
        failures.createSurface = DDERR_OUTOFVIDEOMEMORY;
        failures.createSurfaceCaps = c.failingCaps;
        host::ScopedDrivers drivers({FakeDriver()
                                         .StandardModes()
                                         .Device(FakeDevice(IID_IDirect3DHALDevice, "HAL"))
                                         .Failures(failures)
                                         .Build()});
        shell_test::DebugCapture capture;
        DisplayDevice display;
        EXPECT_EQ(display.Create(window, nullptr, &IID_IDirect3DHALDevice, &mode640x16, c.flags),
                  DDERR_OUTOFVIDEOMEMORY);
        EXPECT_EQ(capture.Count(c.ownText), 1) << capture.Text();
        EXPECT_EQ(capture.Count("Error: Out of video memory"), 1) << capture.Text();
        EXPECT_EQ(display.GetDirectDraw(), nullptr);
        EXPECT_EQ(display.primary, nullptr);
    }

    // Any other surface failure gives the step's own code.
    host::DriverFailures failures;
    failures.createSurface = DDERR_INVALIDPARAMS;
    failures.createSurfaceCaps = DDSCAPS_PRIMARYSURFACE;
    host::ScopedDrivers drivers({FakeDriver()
                                     .StandardModes()
                                     .Device(FakeDevice(IID_IDirect3DHALDevice, "HAL"))
                                     .Failures(failures)
                                     .Build()});
    DisplayDevice display;
    EXPECT_EQ(display.Create(window, nullptr, &IID_IDirect3DHALDevice, nullptr, 0),
              DISPLAY_E_PRIMARY);
}

TEST_F(DisplayDeviceTest, EachFailingStepGivesItsCodeAndOneTraceLineAndReleasesEverything) {
    struct Case {
        const char* text;
        HRESULT code;
        host::DriverFailures failures;
        bool deviceFails = false;
        bool noZBufferFormats = false;
    };
    std::vector<Case> cases(6);
    cases[0] = {"Could not create DirectDraw", DISPLAY_E_CREATE_DDRAW, {}};
    cases[0].failures.createDirectDraw = DDERR_GENERIC;
    cases[1] = {"Couldn't set coop level", DISPLAY_E_COOP_LEVEL, {}};
    cases[1].failures.setCooperativeLevel = DDERR_GENERIC;
    cases[2] = {"Can't set display mode", DISPLAY_E_SET_MODE, {}};
    cases[2].failures.setDisplayMode = DDERR_INVALIDMODE;
    cases[3] = {"Couldn't get the Direct3D interface", DISPLAY_E_NO_D3D, {}};
    cases[3].failures.queryDirect3D = E_NOINTERFACE;
    cases[4] = {"Couldn't create the D3DDevice", DISPLAY_E_CREATE_DEVICE, {}, true};
    cases[5] = {
        "Device doesn't support requested zbuffer format", DISPLAY_E_ZBUFFER, {}, false, true};

    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        drivers::DeviceBuilder device = FakeDevice(IID_IDirect3DHALDevice, "HAL");
        if (c.deviceFails) {
            device.FailsWith(DDERR_OUTOFMEMORY);
        }
        if (c.noZBufferFormats) {
            device.ZBufferFormats({});
        }
        host::ScopedDrivers drivers(
            {FakeDriver().StandardModes().Device(device).Failures(c.failures).Build()});
        shell_test::DebugCapture capture;
        DisplayDevice display;
        EXPECT_EQ(display.Create(window, nullptr, &IID_IDirect3DHALDevice, &mode640x16,
                                 DISPLAY_FULLSCREEN | DISPLAY_ZBUFFER),
                  c.code);
        // One line: "d3dframe(<line>): <text>" and a line feed.
        const std::string& text = capture.Text();
        EXPECT_EQ(text.rfind("d3dframe(", 0), 0u) << text;
        EXPECT_NE(text.find("): " + std::string(c.text) + "\n"), std::string::npos) << text;
        EXPECT_EQ(capture.Count("\n"), 1) << text;
        EXPECT_EQ(display.GetDirectDraw(), nullptr);
        EXPECT_EQ(display.GetDirect3D(), nullptr);
        EXPECT_EQ(display.GetDevice(), nullptr);
        EXPECT_EQ(display.GetRenderSurface(), nullptr);
    }
}

TEST_F(DisplayDeviceTest, ArgumentsAreCheckedBeforeAnythingIsTouched) {
    host::ScopedDrivers drivers(test_drivers::TypicalFakeDrivers());
    DisplayDevice display;
    EXPECT_EQ(display.Create(nullptr, nullptr, &IID_IDirect3DHALDevice, nullptr, 0), E_INVALIDARG);
    EXPECT_EQ(display.Create(window, nullptr, nullptr, nullptr, 0), E_INVALIDARG);
    EXPECT_EQ(display.Create(window, nullptr, &IID_IDirect3DHALDevice, nullptr, DISPLAY_FULLSCREEN),
              E_INVALIDARG);
    EXPECT_EQ(display.window, nullptr);
    EXPECT_EQ(display.ShowFrame(), DISPLAY_E_NOT_CREATED);
    EXPECT_EQ(display.Destroy(), S_OK);
    EXPECT_EQ(display.Destroy(), S_OK);
    EXPECT_EQ(display.FlipToGdi(TRUE), S_OK);
    EXPECT_EQ(display.RestoreSurfaces(), S_OK);
}

TEST_F(DisplayDeviceTest, DestroyReportsObjectsSomeoneElseStillHolds) {
    host::ScopedDrivers drivers(test_drivers::TypicalFakeDrivers());
    DisplayDevice display;
    ASSERT_EQ(display.Create(window, nullptr, &IID_IDirect3DHALDevice, nullptr, DISPLAY_ZBUFFER),
              S_OK);
    IDirect3DDevice7* kept = display.GetDevice();
    kept->AddRef();
    EXPECT_EQ(display.Destroy(), DISPLAY_E_STILL_REFERENCED);
    EXPECT_EQ(trace->Count("Error: D3DDevice object is still referenced!"), 1);
    // The device holds its render target, which holds the DirectDraw object.
    EXPECT_EQ(trace->Count("Error: DDraw object is still referenced!"), 1);
    EXPECT_EQ(display.GetDevice(), nullptr) << "dropped either way";
    kept->Release();
    EXPECT_EQ(display.Destroy(), S_OK);
}

TEST_F(DisplayDeviceTest, AWindowedScreenRectangleFollowsTheClientArea) {
    host::ScopedDrivers drivers(test_drivers::TypicalFakeDrivers());
    DisplayDevice display;
    ASSERT_EQ(display.Create(window, nullptr, &IID_IDirect3DHALDevice, nullptr, 0), S_OK);
    const int width = display.width;
    const int height = display.height;
    display.MoveScreenRect(-20, 30);
    EXPECT_EQ(display.screenRect.left, -20);
    EXPECT_EQ(display.screenRect.top, 30);
    EXPECT_EQ(display.screenRect.right, -20 + width);
    EXPECT_EQ(display.screenRect.bottom, 30 + height);
}

TEST(TraceErrorTest, WritesUnitLineTextAndTheCodeOnlyWhenThereIsOne) {
    shell_test::DebugCapture capture;
    EXPECT_EQ(TraceError("d3dframe", 42, DISPLAY_E_CREATE_DDRAW, "Could not create DirectDraw"),
              DISPLAY_E_CREATE_DDRAW);
    EXPECT_EQ(capture.Text(), "d3dframe(42): Could not create DirectDraw(hr=82000001)\n\n");
    shell_test::DebugCapture second;
    EXPECT_EQ(TraceError("d3denum", 7, 0, "No enumerated devices were accepted!"), 0);
    EXPECT_EQ(second.Text(), "d3denum(7): No enumerated devices were accepted!\n");
}

} // namespace
