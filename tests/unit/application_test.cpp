// The application shell on a manual clock, headless windows and fake drivers with recording
// devices: start-up, the clock and the pause nesting, the message loop, the environment's life
// cycle with the hardware-to-software fallback, and the window-style switch.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/application.h"
#include "platform/win32/dialog_controls.h"
#include "platform/win32/kernel.h"
#include "platform/win32/user.h"
#include "resources/program_resources.h"
#include "support/fake_drivers.h"
#include "support/graphics_test_support.h"
#include "support/shell_test_support.h"
#include "support/window_test_support.h"

namespace {

using test_drivers::FakeDevice;
using test_drivers::FakeDriver;

constexpr const char* ENVIRONMENT_ERROR =
    "Something doesn't like to work...\nTry selection another device or resolution.";

// An application that says what the shell asked of it.
class TestApp final : public Application {
public:
    std::vector<std::string> calls; // the overridden operations, in order
    std::vector<float> animateTimes;
    std::vector<UINT> messages; // what reached HandleMessage
    int drawFrames = 0;
    bool windowExistedAtLoad = true;
    HRESULT prepareResult = S_OK;
    bool failPrepareOnHardware = false;
    int quitAfterFrames = 0; // > 0: post the quit message after that many frames

    HRESULT LoadScene() override {
        calls.push_back("LoadScene");
        windowExistedAtLoad = window != nullptr;
        return S_OK;
    }
    HRESULT PrepareDevice() override {
        calls.push_back("PrepareDevice");
        if (failPrepareOnHardware && selectedDevice->hardware) {
            return E_FAIL;
        }
        return prepareResult;
    }
    HRESULT ReleaseDevice() override {
        calls.push_back("ReleaseDevice");
        return S_OK;
    }
    HRESULT DrawFrame() override {
        ++drawFrames;
        if (quitAfterFrames > 0 && drawFrames == quitAfterFrames) {
            PostQuitMessage(0);
        }
        return S_OK;
    }
    HRESULT Animate(float time) override {
        animateTimes.push_back(time);
        return S_OK;
    }
    HRESULT SurfacesRestored() override {
        calls.push_back("SurfacesRestored");
        return S_OK;
    }
    HRESULT Shutdown() override {
        calls.push_back("Shutdown");
        return S_OK;
    }
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(message);
        return Application::HandleMessage(hwnd, message, wParam, lParam);
    }

    int Count(const std::string& call) const {
        int count = 0;
        for (const std::string& c : calls) {
            count += c == call ? 1 : 0;
        }
        return count;
    }
};

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        shell_test::ResetShellState();
        RegisterProgramResources();
        host::SetClock(&clock);
        host::SetMessageBoxHandler(&boxes);
        trace.emplace(); // keeps the expected trace lines out of the test output
        app = std::make_unique<TestApp>();
    }
    void TearDown() override {
        app.reset();
        trace.reset();
        drivers.reset();
        shell_test::ResetShellState();
    }

    void UseDrivers(host::DriverSet set) { drivers.emplace(std::move(set)); }
    void CreateOnTypicalDrivers() {
        UseDrivers(test_drivers::TypicalFakeDrivers());
        ASSERT_EQ(app->Create(GetModuleHandleA(nullptr), nullptr), S_OK);
    }
    host::Driver& Driver() { return *host::Drivers()[0]; }
    void Command(WORD command) { SendMessageA(app->window, WM_COMMAND, command, 0); }
    float LastAnimateTime() const {
        return app->animateTimes.empty() ? -1.0f : app->animateTimes.back();
    }

    host::ManualClock clock{1000};
    shell_test::CountingMessageBoxes boxes;
    std::optional<shell_test::DebugCapture> trace;
    std::optional<host::ScopedDrivers> drivers;
    std::unique_ptr<TestApp> app;
};

TEST_F(ApplicationTest, CreateLoadsBeforeTheWindowAndBuildsTheDefaultDeviceInFullScreen) {
    CreateOnTypicalDrivers();
    EXPECT_EQ(app->calls, (std::vector<std::string>{"LoadScene", "PrepareDevice"}));
    EXPECT_FALSE(app->windowExistedAtLoad);
    ASSERT_TRUE(IsWindow(app->window));
    EXPECT_EQ(GetWindowLongA(app->window, GWL_STYLE) & static_cast<LONG>(WS_POPUP), 0)
        << "the first environment leaves the window's style alone";
    ASSERT_NE(app->selectedDevice, nullptr);
    EXPECT_STREQ(app->selectedDevice->name, "Fake HAL Device");
    EXPECT_FALSE(app->selectedDevice->windowed);
    EXPECT_NE(app->device, nullptr);
    EXPECT_EQ(app->device, app->displayDevice->GetDevice());
    EXPECT_EQ(app->renderSurfaceDesc.dwWidth, 640u);
    EXPECT_TRUE(app->displayDevice->fullscreen);
    EXPECT_TRUE(app->ready);
    EXPECT_TRUE(app->active) << "set by the WM_SIZE of the window's creation";
    EXPECT_EQ(app->baseTime, 1000u);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(ApplicationTest, NestedPausesStopTheClockOnceAndExcludeTheWholeInterval) {
    CreateOnTypicalDrivers();
    clock.Advance(500);
    app->Pause(true);
    app->Pause(true);
    EXPECT_FALSE(app->ready);
    clock.Advance(1000);
    app->Pause(false);
    EXPECT_FALSE(app->ready) << "one resume of two pauses";
    EXPECT_EQ(app->baseTime, 1000u) << "the clock is still stopped";
    clock.Advance(1000);
    app->Pause(false);
    EXPECT_TRUE(app->ready);
    EXPECT_EQ(pauseCount, 0);
    clock.Advance(200);
    ASSERT_EQ(app->FrameStep(), S_OK);
    EXPECT_FLOAT_EQ(LastAnimateTime(), 0.7f);
}

TEST_F(ApplicationTest, StoppedTimeStillDrawsAndTogglingTwiceContinuesWhereItStopped) {
    CreateOnTypicalDrivers();
    clock.Advance(500);
    Command(CMD_TOGGLE_TIME);
    EXPECT_FALSE(app->timeRunning);
    clock.Advance(2000);
    ASSERT_EQ(app->FrameStep(), S_OK);
    EXPECT_TRUE(app->animateTimes.empty());
    EXPECT_EQ(app->drawFrames, 1);
    Command(CMD_TOGGLE_TIME);
    clock.Advance(100);
    ASSERT_EQ(app->FrameStep(), S_OK);
    EXPECT_FLOAT_EQ(LastAnimateTime(), 0.6f);
}

TEST_F(ApplicationTest, ASingleStepAdvancesStoppedTimeBy100MsAndAnimatesExactlyOnce) {
    CreateOnTypicalDrivers();
    clock.Advance(1000);
    Command(CMD_TOGGLE_TIME);
    clock.Advance(5000);
    Command(CMD_SINGLE_STEP);
    ASSERT_EQ(app->FrameStep(), S_OK);
    ASSERT_EQ(app->animateTimes.size(), 1u);
    EXPECT_FLOAT_EQ(app->animateTimes[0], 1.1f);
    clock.Advance(3000);
    ASSERT_EQ(app->FrameStep(), S_OK);
    EXPECT_EQ(app->animateTimes.size(), 1u);
    EXPECT_EQ(app->drawFrames, 2);

    // Applied while time runs, it animates one more frame and then stops time.
    Command(CMD_TOGGLE_TIME);
    Command(CMD_SINGLE_STEP);
    EXPECT_FALSE(app->timeRunning);
    ASSERT_EQ(app->FrameStep(), S_OK);
    EXPECT_EQ(app->animateTimes.size(), 2u);
}

TEST_F(ApplicationTest, EscapeClosesTheWindowThroughTheAcceleratorTableAndEndsRun) {
    CreateOnTypicalDrivers();
    app->messages.clear();
    PostMessageA(app->window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(app->Run(), 0u);
    std::vector<UINT> closing;
    for (UINT message : app->messages) {
        if (message == WM_COMMAND || message == WM_CLOSE || message == WM_DESTROY) {
            closing.push_back(message);
        }
    }
    EXPECT_EQ(closing, (std::vector<UINT>{WM_COMMAND, WM_CLOSE, WM_DESTROY}));
    EXPECT_EQ(app->drawFrames, 0) << "the key was waiting, so no frame came first";
    EXPECT_EQ(app->Count("ReleaseDevice"), 1);
    EXPECT_EQ(app->calls.back(), "Shutdown");
    EXPECT_EQ(app->displayDevice, nullptr);
    EXPECT_EQ(app->device, nullptr);
    EXPECT_FALSE(IsWindow(app->window));
    EXPECT_EQ(deviceCatalog.records[0].modes, nullptr) << "the catalog is freed";
}

TEST_F(ApplicationTest, AMinimisedWindowWaitsForMessagesAndDrawsNothing) {
    window_test::RecordingWindowBackend backend;
    host::SetWindowBackend(&backend);
    CreateOnTypicalDrivers();
    SendMessageA(app->window, WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_FALSE(app->active);
    int framesAtWait = -1;
    backend.onWait = [&] {
        if (framesAtWait < 0) {
            framesAtWait = app->drawFrames;
            PostMessageA(app->window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 300));
        }
    };
    app->quitAfterFrames = 3;
    EXPECT_EQ(app->Run(), 0u);
    EXPECT_EQ(framesAtWait, 0);
    EXPECT_EQ(app->drawFrames, 3);
    host::SetWindowBackend(nullptr);
}

TEST_F(ApplicationTest, FramesAreSkippedWhileAnotherProgramHoldsTheScreen) {
    CreateOnTypicalDrivers();
    Driver().failures.testCooperativeLevel = DDERR_EXCLUSIVEMODEALREADYSET;
    EXPECT_EQ(app->FrameStep(), S_OK);
    Driver().failures.testCooperativeLevel = DDERR_NOEXCLUSIVEMODE;
    EXPECT_EQ(app->FrameStep(), S_OK);
    EXPECT_EQ(app->drawFrames, 0);
    EXPECT_TRUE(app->animateTimes.empty());
    Driver().failures.testCooperativeLevel = DD_OK;
    EXPECT_EQ(app->FrameStep(), S_OK);
    EXPECT_EQ(app->drawFrames, 1);

    // A mode change under a full-screen program is a failure; other failures pass through.
    Driver().failures.testCooperativeLevel = DDERR_WRONGMODE;
    EXPECT_EQ(app->FrameStep(), DDERR_WRONGMODE);
}

TEST_F(ApplicationTest, LostSurfacesAtPresentationAreRestoredAndOtherFailuresCloseTheWindow) {
    CreateOnTypicalDrivers();
    Driver().failures.present = DDERR_SURFACELOST;
    EXPECT_EQ(app->FrameStep(), S_OK);
    EXPECT_EQ(app->Count("SurfacesRestored"), 1);

    Driver().failures.present = DDERR_GENERIC;
    EXPECT_EQ(app->FrameStep(), DDERR_GENERIC);
    // Run turns the failure into DestroyWindow, and the loop ends with the quit message.
    EXPECT_EQ(app->Run(), 0u);
    EXPECT_FALSE(IsWindow(app->window));
    EXPECT_EQ(app->Count("Shutdown"), 1);
}

TEST_F(ApplicationTest, InAWindowResizingAndModeChangesRebuildTheEnvironment) {
    CreateOnTypicalDrivers();
    Command(CMD_TOGGLE_FULLSCREEN);
    ASSERT_TRUE(app->selectedDevice->windowed);
    ASSERT_TRUE(app->ready);
    EXPECT_FALSE(app->displayDevice->fullscreen);
    app->calls.clear();

    SetWindowPos(app->window, nullptr, 40, 50, 420, 360, SWP_NOZORDER);
    EXPECT_EQ(app->calls, (std::vector<std::string>{"ReleaseDevice", "PrepareDevice"}));
    RECT client{};
    GetClientRect(app->window, &client);
    EXPECT_EQ(app->displayDevice->width, client.right);
    EXPECT_EQ(app->renderSurfaceDesc.dwWidth, static_cast<DWORD>(client.right));
    POINT origin{0, 0};
    ClientToScreen(app->window, &origin);
    EXPECT_EQ(app->displayDevice->screenRect.left, origin.x) << "WM_MOVE followed the window";

    app->calls.clear();
    Driver().failures.testCooperativeLevel = DDERR_WRONGMODE;
    EXPECT_EQ(app->FrameStep(), S_OK);
    Driver().failures.testCooperativeLevel = DD_OK;
    EXPECT_EQ(app->calls, (std::vector<std::string>{"ReleaseDevice", "PrepareDevice"}));
}

TEST_F(ApplicationTest, FullScreenSwitchSavesTheWindowStyleAndRectangleAndRestoresThem) {
    CreateOnTypicalDrivers();
    Command(CMD_TOGGLE_FULLSCREEN); // to a window: the style is already the normal one
    const LONG normalStyle = GetWindowLongA(app->window, GWL_STYLE);
    SetWindowPos(app->window, nullptr, 10, 20, 400, 300, SWP_NOZORDER);
    RECT normalRect{};
    GetWindowRect(app->window, &normalRect);

    Command(CMD_TOGGLE_FULLSCREEN);
    ASSERT_FALSE(app->selectedDevice->windowed);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(app->window, GWL_STYLE)),
              static_cast<DWORD>(WS_POPUP | WS_SYSMENU | WS_VISIBLE));
    EXPECT_FALSE(lastWindowed);
    EXPECT_EQ(savedWindowStyle, static_cast<DWORD>(normalStyle));
    // Full screen moves the window and puts it on top.
    SetWindowPos(app->window, HWND_TOPMOST, 0, 0, 1024, 768, 0);
    EXPECT_EQ(SendMessageA(app->window, WM_NCHITTEST, 0, 0), HTCLIENT);
    EXPECT_EQ(SendMessageA(app->window, WM_SYSCOMMAND, SC_MOVE, 0), 1);

    Command(CMD_TOGGLE_FULLSCREEN);
    ASSERT_TRUE(app->selectedDevice->windowed);
    EXPECT_EQ(GetWindowLongA(app->window, GWL_STYLE), normalStyle);
    RECT restored{};
    GetWindowRect(app->window, &restored);
    EXPECT_EQ(restored.left, normalRect.left);
    EXPECT_EQ(restored.top, normalRect.top);
    EXPECT_EQ(restored.right, normalRect.right);
    EXPECT_EQ(restored.bottom, normalRect.bottom);
    EXPECT_EQ(GetWindowLongA(app->window, GWL_EXSTYLE) & static_cast<LONG>(WS_EX_TOPMOST), 0);
    EXPECT_TRUE(app->ready);
}

TEST_F(ApplicationTest, AFailingHardwareDeviceGivesOneBoxAndTheShowRunsOnSoftwareInFullScreen) {
    UseDrivers({FakeDriver()
                    .StandardModes()
                    .Device(FakeDevice(IID_IDirect3DHALDevice, "HAL").FailsWith(DDERR_OUTOFMEMORY))
                    .Device(FakeDevice(IID_IDirect3DRGBDevice, "RGB").Hardware(false))
                    .Build()});
    ASSERT_EQ(app->Create(GetModuleHandleA(nullptr), nullptr), S_OK);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, ENVIRONMENT_ERROR);
    EXPECT_EQ(boxes.boxes[0].caption, "Ichk.");
    EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_ICONWARNING | MB_OK));
    EXPECT_EQ(boxes.boxes[0].owner, nullptr);
    EXPECT_STREQ(app->selectedDevice->name, "RGB");
    EXPECT_FALSE(app->selectedDevice->windowed);
    EXPECT_TRUE(app->displayDevice->fullscreen);
    EXPECT_NE(app->device, nullptr);
    EXPECT_EQ(app->calls, (std::vector<std::string>{"LoadScene", "PrepareDevice"}));
    EXPECT_EQ(app->FrameStep(), S_OK);
    EXPECT_EQ(app->drawFrames, 1);
}

TEST_F(ApplicationTest, AHardwareDeviceWhosePreparationFailsIsReplacedToo) {
    UseDrivers(test_drivers::TypicalFakeDrivers());
    app->failPrepareOnHardware = true;
    ASSERT_EQ(app->Create(GetModuleHandleA(nullptr), nullptr), S_OK);
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(app->calls, (std::vector<std::string>{"LoadScene", "PrepareDevice", "ReleaseDevice",
                                                    "PrepareDevice"}));
    EXPECT_STREQ(app->selectedDevice->name, "Fake RGB Device");
}

TEST_F(ApplicationTest, AFailingSoftwareDeviceEndsCreateAfterOneBox) {
    UseDrivers(
        {FakeDriver()
             .StandardModes()
             .Device(
                 FakeDevice(IID_IDirect3DRGBDevice, "RGB").Hardware(false).FailsWith(DDERR_GENERIC))
             .Build()});
    EXPECT_EQ(app->Create(GetModuleHandleA(nullptr), nullptr), E_FAIL);
    EXPECT_EQ(boxes.Count(ENVIRONMENT_ERROR), 1);
    EXPECT_EQ(app->displayDevice, nullptr) << "the environment was cleaned up";
    EXPECT_EQ(app->calls, (std::vector<std::string>{"LoadScene", "ReleaseDevice", "Shutdown"}));
    EXPECT_EQ(deviceCatalog.records[0].modes, nullptr);
}

TEST_F(ApplicationTest, FailingHardwareWithNothingToFallBackToEndsAfterOneBoxAndOneAttempt) {
    int attempts = 0;
    UseDrivers({FakeDriver()
                    .StandardModes()
                    .Device(FakeDevice(IID_IDirect3DHALDevice, "HAL")
                                .Factory([&](const host::DeviceCreation&, IDirect3DDevice7**) {
                                    ++attempts;
                                    return DDERR_GENERIC;
                                }))
                    .Device(FakeDevice(IID_IDirect3DRefDevice, "Ref").Hardware(false))
                    .Build()});
    EXPECT_EQ(app->Create(GetModuleHandleA(nullptr), nullptr), E_FAIL);
    EXPECT_EQ(attempts, 1);
    EXPECT_EQ(boxes.Count(ENVIRONMENT_ERROR), 1);
    EXPECT_STREQ(app->selectedDevice->name, "HAL");
}

TEST_F(ApplicationTest, LeftoverReferencesFailAChangeButNotTheCleanup) {
    CreateOnTypicalDrivers();
    IDirect3DDevice7* kept = app->device;
    kept->AddRef(); // someone still holds the device when the environment is rebuilt
    Command(CMD_TOGGLE_FULLSCREEN);
    EXPECT_EQ(boxes.Count(ENVIRONMENT_ERROR), 1);
    EXPECT_FALSE(IsWindow(app->window)) << "the failed change closed the window";
    EXPECT_EQ(app->Count("Shutdown"), 1);
    EXPECT_EQ(app->device, nullptr);
    kept->Release();
    EXPECT_EQ(shell_test::TakeQueuedMessages().back().message, static_cast<UINT>(WM_QUIT));
}

TEST_F(ApplicationTest, CleanupBeforeAnyDisplayDeviceFreesTheCatalogOnly) {
    UseDrivers(test_drivers::TypicalFakeDrivers());
    ASSERT_EQ(EnumerateDevices(nullptr), S_OK);
    app->active = TRUE;
    app->CleanupEnvironment();
    EXPECT_TRUE(app->calls.empty());
    EXPECT_FALSE(app->active);
    EXPECT_EQ(deviceCatalog.records[0].modes, nullptr);
    EXPECT_EQ(deviceCatalog.records[1].modes, nullptr);
    EXPECT_EQ(deviceCatalog.deviceCount, 2u);
}

TEST_F(ApplicationTest, TheDeviceDialogChangesTheEnvironmentOnlyForAnotherChoice) {
    CreateOnTypicalDrivers();
    struct PickDevice final : host::DialogHandler {
        int pick = -1; // -1: Enter on what is shown
        std::vector<std::string> listed;
        int selected = -2;
        bool RunModal(HWND dialog, const DialogTemplate&) override {
            dialogs::DialogView view;
            dialogs::ReadDialog(dialog, &view);
            listed = view.controls[1].items;
            selected = view.controls[1].selection;
            if (pick >= 0) {
                dialogs::SelectComboItem(view.controls[1].handle, pick);
            }
            return dialogs::PressEnter(dialog);
        }
    } dialog;
    host::SetDialogHandler(&dialog);
    app->calls.clear();

    clock.Advance(1000);
    Command(CMD_CHANGE_DEVICE);
    EXPECT_EQ(dialog.listed, (std::vector<std::string>{"Fake HAL Device", "Fake RGB Device"}));
    EXPECT_EQ(dialog.selected, 0);
    EXPECT_TRUE(app->calls.empty()) << "an unchanged choice leaves the environment alone";
    EXPECT_TRUE(app->ready);
    EXPECT_EQ(pauseCount, 0);

    dialog.pick = 1;
    Command(CMD_CHANGE_DEVICE);
    EXPECT_EQ(app->calls, (std::vector<std::string>{"ReleaseDevice", "PrepareDevice"}));
    EXPECT_STREQ(app->selectedDevice->name, "Fake RGB Device");
    EXPECT_FALSE(app->selectedDevice->windowed);
    EXPECT_EQ(app->selectedDevice->currentModeIndex, 0u);
    EXPECT_TRUE(app->ready);
    ASSERT_EQ(app->FrameStep(), S_OK);
    EXPECT_FLOAT_EQ(LastAnimateTime(), 1.0f);

    // No dialog can be shown: the program resumes as it was.
    host::SetDialogHandler(nullptr);
    app->calls.clear();
    Command(CMD_CHANGE_DEVICE);
    EXPECT_TRUE(app->calls.empty());
    EXPECT_TRUE(app->ready);
}

TEST_F(ApplicationTest, TheFKeyShowsAndHidesTheFrameRateThroughTheAcceleratorTable) {
    CreateOnTypicalDrivers();
    HACCEL table = LoadAcceleratorsA(nullptr, MAKEINTRESOURCEA(113));
    auto press = [&](WPARAM key) {
        MSG message{app->window, WM_KEYDOWN, key, 0, 0, {}};
        if (TranslateAcceleratorA(app->window, table, &message) == 0) {
            DispatchMessageA(&message);
        }
    };
    EXPECT_FALSE(app->showStats);
    press('F');
    EXPECT_TRUE(app->showStats);
    press('G');
    EXPECT_TRUE(app->showStats);
    press('F');
    EXPECT_FALSE(app->showStats);
}

TEST_F(ApplicationTest, TheFrameRateTextIsTheMeasuredRatePlusTwoInGreyOnTheBackBuffer) {
    CreateOnTypicalDrivers();
    app->showStats = TRUE;
    clock.Set(2500);
    ASSERT_EQ(app->FrameStep(), S_OK);
    EXPECT_FLOAT_EQ(statsRate, 1.0f / 2.5f + 2.0f) << "one frame in the 2.5 s since 0";
    EXPECT_EQ(statsFrames, 0u);
    clock.Set(3000);
    ASSERT_EQ(app->FrameStep(), S_OK);
    EXPECT_EQ(statsFrames, 1u) << "not a second yet: counted, not measured";

    // Grey 100 in the 16-bit back buffer: 5, 6 and 5 bits of 100.
    const DWORD grey565 = ((100u >> 3) << 11) | ((100u >> 2) << 5) | (100u >> 3);
    int greyPixels = 0;
    for (DWORD pixel : gfx_test::ReadRawPixels(app->renderSurface)) {
        greyPixels += pixel == grey565 ? 1 : 0;
    }
    EXPECT_GT(greyPixels, 10);
}

} // namespace
