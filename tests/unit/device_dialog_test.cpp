// The start-up device dialog with template 144, driven as a user would: what it lists, and what
// Enter, Escape, a new pick and an empty selection give back.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/d3denum.h"
#include "platform/host/fake_drivers.h"
#include "platform/win32/dialog_controls.h"
#include "resources/program_resources.h"
#include "support/shell_test_support.h"

namespace {

using host::FakeDeviceBuilder;
using host::FakeDriverBuilder;

const GUID OTHER_CARD_GUID = {0xca4d, 0x0001, 0x0002, {8, 7, 6, 5, 4, 3, 2, 1}};

class ScriptedUser final : public host::DialogHandler {
public:
    std::function<void(HWND, const dialogs::ControlView&)> script; // gets the device list
    dialogs::DialogView opened;
    bool RunModal(HWND dialog, const DialogTemplate&) override {
        dialogs::ReadDialog(dialog, &opened);
        script(dialog, opened.controls[1]);
        return true;
    }
};

class DeviceDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        shell_test::ResetShellState();
        RegisterProgramResources();
        host::SetDialogHandler(&user);
        drivers.emplace(host::DriverSet{
            FakeDriverBuilder()
                .StandardModes()
                .Device(FakeDeviceBuilder(IID_IDirect3DHALDevice, "Display HAL"))
                .Device(FakeDeviceBuilder(IID_IDirect3DRGBDevice, "Display RGB").Hardware(false))
                .Build(),
            FakeDriverBuilder()
                .Guid(OTHER_CARD_GUID)
                .Description("Other Card")
                .Mode(800, 600, 16)
                .Mode(640, 480, 32)
                .Device(FakeDeviceBuilder(IID_IDirect3DHALDevice, "Card HAL"))
                .Build()});
        ASSERT_EQ(EnumerateDevices(nullptr), S_OK);
        // The display driver's hardware device, in full screen (the default would be the last
        // hardware device listed, the other card's).
        current = &deviceCatalog.records[0];
        current->windowed = FALSE;
    }
    void TearDown() override {
        drivers.reset();
        shell_test::ResetShellState();
    }

    ScriptedUser user;
    std::optional<host::ScopedDrivers> drivers;
    DeviceInfo* current = nullptr;
};

TEST_F(DeviceDialogTest, PickingADeviceOfAnotherDriverSwitchesToItsFirstModeInFullScreen) {
    user.script = [](HWND dialog, const dialogs::ControlView& list) {
        dialogs::SelectComboItem(list.handle, 2);
        dialogs::PressEnter(dialog);
    };
    EXPECT_EQ(SelectDeviceDialog(&current), S_OK);
    ASSERT_EQ(current, &deviceCatalog.records[2]);
    EXPECT_FALSE(current->windowed);
    EXPECT_FALSE(current->stereo);
    EXPECT_EQ(current->currentModeIndex, 0u);
    EXPECT_EQ(current->currentMode.dwWidth, 640u) << "its first mode in the sorted order";
    EXPECT_EQ(current->currentMode.ddpfPixelFormat.dwRGBBitCount, 32u);
}

TEST_F(DeviceDialogTest, EscapeAndAnEmptySelectionLeaveTheChoiceAsItWas) {
    DeviceInfo* before = current;
    user.script = [](HWND dialog, const dialogs::ControlView& list) {
        dialogs::SelectComboItem(list.handle, 1);
        dialogs::PressEscape(dialog);
    };
    EXPECT_EQ(SelectDeviceDialog(&current), E_FAIL);
    EXPECT_EQ(current, before);

    // The editable list can have no selection at all; that must not pick a record.
    user.script = [](HWND dialog, const dialogs::ControlView& list) {
        SendMessageA(list.handle, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        dialogs::PressEnter(dialog);
    };
    EXPECT_EQ(SelectDeviceDialog(&current), E_FAIL);
    EXPECT_EQ(current, before);
    EXPECT_FALSE(current->windowed);
}

} // namespace
