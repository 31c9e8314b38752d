// The start-up device dialog with template 144, driven as a user would: what it lists, and what
// Enter, Escape, a new pick and an empty selection give back.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/device_dialog.h"
#include "platform/win32/dialog_controls.h"
#include "resources/program_resources.h"
#include "support/fake_drivers.h"
#include "support/shell_test_support.h"

namespace {

using test_drivers::FakeDevice;
using test_drivers::FakeDriver;

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
            FakeDriver()
                .StandardModes()
                .Device(FakeDevice(IID_IDirect3DHALDevice, "Display HAL"))
                .Device(FakeDevice(IID_IDirect3DRGBDevice, "Display RGB").Hardware(false))
                .Build(),
            FakeDriver()
                .Guid(OTHER_CARD_GUID)
                .Description("Other Card")
                .Mode(800, 600, 16)
                .Mode(640, 480, 32)
                .Device(FakeDevice(IID_IDirect3DHALDevice, "Card HAL"))
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

// The procedure is written for a fuller template than 144: a mode list (1001), windowed and stereo
// check boxes (1012, 1013) and a control that goes with the mode list (1014). With that template
// in place of 144 every branch of the procedure can be seen.

constexpr int IDC_MODES = 1001, IDC_WINDOWED = 1012, IDC_STEREO = 1013, IDC_MODE_LABEL = 1014;

DialogTemplate FullDeviceDialog() {
    DialogTemplate dialog;
    dialog.style = WS_POPUP | WS_BORDER | DS_SETFONT | DS_CENTER;
    dialog.cx = 200;
    dialog.cy = 120;
    dialog.fontName = "MS Sans Serif";
    dialog.pointSize = 8;
    dialog.controls = {
        {IDOK, "button", BS_DEFPUSHBUTTON, 140, 100, 50, 14, "OK"},
        {IDCANCEL, "button", BS_PUSHBUTTON, 80, 100, 50, 14, "Cancel"},
        {1000, "combobox", CBS_DROPDOWN | WS_VSCROLL, 10, 10, 120, 60, ""},
        {IDC_MODE_LABEL, "static", SS_LEFT, 10, 30, 40, 8, "Mode:"},
        {IDC_MODES, "combobox", CBS_DROPDOWNLIST | WS_VSCROLL, 50, 30, 80, 60, ""},
        {IDC_WINDOWED, "button", BS_AUTOCHECKBOX, 10, 50, 60, 10, "Windowed"},
        {IDC_STEREO, "button", BS_AUTOCHECKBOX, 10, 65, 60, 10, "Stereo"},
    };
    return dialog;
}

struct Controls {
    HWND devices, modes, windowed, stereo, label;
    explicit Controls(HWND dialog)
        : devices(GetDlgItem(dialog, 1000)), modes(GetDlgItem(dialog, IDC_MODES)),
          windowed(GetDlgItem(dialog, IDC_WINDOWED)), stereo(GetDlgItem(dialog, IDC_STEREO)),
          label(GetDlgItem(dialog, IDC_MODE_LABEL)) {}
};

std::vector<std::string> Items(HWND combo) {
    std::vector<std::string> items;
    const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[64] = {};
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.emplace_back(text);
    }
    return items;
}

// The item data (the mode index) of the selected mode, or -1 with no selection.
LRESULT SelectedMode(HWND modes) {
    const LRESULT item = SendMessageA(modes, CB_GETCURSEL, 0, 0);
    return item < 0 ? -1 : SendMessageA(modes, CB_GETITEMDATA, static_cast<WPARAM>(item), 0);
}

bool Checked(HWND button) {
    return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

class FullDeviceDialogTest : public DeviceDialogTest {
protected:
    void SetUp() override {
        DeviceDialogTest::SetUp();
        RegisterDialogResource(IDD_SELECT_DEVICE, FullDeviceDialog());
        // The display driver's hardware device, windowed at its third mode; the other card's
        // device in full screen at its second.
        current->windowed = TRUE;
        current->currentModeIndex = 2;
        other = &deviceCatalog.records[2];
        other->windowed = FALSE;
        other->currentModeIndex = 1;
    }
    DeviceInfo* other = nullptr;
};

TEST_F(FullDeviceDialogTest, OpensOnTheCurrentSettingsAndANewDeviceBringsItsOwn) {
    user.script = [&](HWND dialog, const dialogs::ControlView&) {
        Controls controls(dialog);
        EXPECT_EQ(Items(controls.devices),
                  (std::vector<std::string>{"Display HAL", "Display RGB", "Other Card"}));
        EXPECT_EQ(SendMessageA(controls.devices, CB_GETCURSEL, 0, 0), 0);
        // Every mode of the device, in the catalog's order, as "width x height x depth".
        std::vector<std::string> expected;
        for (DWORD j = 0; j < current->modeCount; ++j) {
            const DDSURFACEDESC2& mode = current->modes[j];
            expected.push_back(std::to_string(mode.dwWidth) + " x " +
                               std::to_string(mode.dwHeight) + " x " +
                               std::to_string(mode.ddpfPixelFormat.dwRGBBitCount));
        }
        EXPECT_EQ(Items(controls.modes), expected);
        EXPECT_EQ(SelectedMode(controls.modes), 2);
        EXPECT_TRUE(Checked(controls.windowed));
        EXPECT_TRUE(IsWindowEnabled(controls.windowed));
        // Windowed: no mode to choose, and no stereo.
        EXPECT_FALSE(IsWindowEnabled(controls.modes));
        EXPECT_FALSE(IsWindowEnabled(controls.label));
        EXPECT_FALSE(IsWindowEnabled(controls.stereo));

        // The other card: its modes, its mode, its full screen.
        dialogs::SelectComboItem(controls.devices, 2);
        EXPECT_EQ(Items(controls.modes),
                  (std::vector<std::string>{"640 x 480 x 32", "800 x 600 x 16"}));
        EXPECT_EQ(SelectedMode(controls.modes), 1);
        EXPECT_FALSE(Checked(controls.windowed));
        EXPECT_TRUE(IsWindowEnabled(controls.modes));
        EXPECT_TRUE(IsWindowEnabled(controls.label));
        dialogs::PressEnter(dialog);
    };
    EXPECT_EQ(SelectDeviceDialog(&current), S_OK);
    ASSERT_EQ(current, other);
    EXPECT_EQ(current->currentModeIndex, 1u);
    EXPECT_EQ(current->currentMode.dwWidth, 800u);
    EXPECT_FALSE(current->windowed);
}

TEST_F(FullDeviceDialogTest, ConfirmingTheOpeningSettingsChangesNothing) {
    const DeviceInfo before = *current;
    user.script = [](HWND dialog, const dialogs::ControlView&) { dialogs::PressEnter(dialog); };
    EXPECT_EQ(SelectDeviceDialog(&current), E_FAIL);
    EXPECT_EQ(current, &deviceCatalog.records[0]);
    EXPECT_EQ(current->currentModeIndex, before.currentModeIndex);
    EXPECT_EQ(current->windowed, before.windowed);
    EXPECT_EQ(current->currentMode.dwWidth, before.currentMode.dwWidth);

    // The same with the cancel button: whatever was changed in the dialog is dropped.
    user.script = [](HWND dialog, const dialogs::ControlView&) {
        Controls controls(dialog);
        dialogs::SelectComboItem(controls.devices, 1);
        dialogs::ClickButton(GetDlgItem(dialog, IDCANCEL));
    };
    EXPECT_EQ(SelectDeviceDialog(&current), E_FAIL);
    EXPECT_EQ(current, &deviceCatalog.records[0]);
}

TEST_F(FullDeviceDialogTest, AModeListWithoutSelectionKeepsTheDevicesMode) {
    user.script = [](HWND dialog, const dialogs::ControlView&) {
        Controls controls(dialog);
        SendMessageA(controls.modes, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        dialogs::ClickButton(controls.windowed); // now full screen: a real change
        EXPECT_TRUE(IsWindowEnabled(controls.modes));
        SendMessageA(controls.modes, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        dialogs::PressEnter(dialog);
    };
    EXPECT_EQ(SelectDeviceDialog(&current), S_OK);
    EXPECT_EQ(current, &deviceCatalog.records[0]);
    EXPECT_FALSE(current->windowed);
    EXPECT_EQ(current->currentModeIndex, 2u) << "no mode was picked, so the mode stays";
}

TEST_F(FullDeviceDialogTest, NoDeviceSelectedIgnoresNotificationsAndPicksNothing) {
    user.script = [](HWND dialog, const dialogs::ControlView&) {
        Controls controls(dialog);
        SendMessageA(controls.devices, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        const std::vector<std::string> modesBefore = Items(controls.modes);
        // A selection notification with nothing selected: the controls stay as they are.
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1000, CBN_SELENDOK),
                     reinterpret_cast<LPARAM>(controls.devices));
        EXPECT_EQ(Items(controls.modes), modesBefore);
        EXPECT_EQ(SendMessageA(controls.devices, CB_GETCURSEL, 0, 0), CB_ERR);
        dialogs::PressEnter(dialog);
    };
    EXPECT_EQ(SelectDeviceDialog(&current), E_FAIL);
    EXPECT_EQ(current, &deviceCatalog.records[0]);
    EXPECT_EQ(current->currentModeIndex, 2u);
    EXPECT_TRUE(current->windowed);
}

TEST_F(FullDeviceDialogTest, StereoListsOnlyStereoModesAndSelectsTheFirst) {
    // The card can show stereo in its 800 x 600 mode only; the device opens in stereo at its
    // first mode, which has no stereo.
    other->stereoCapable = TRUE;
    other->stereo = TRUE;
    other->currentModeIndex = 0;
    other->modes[1].ddsCaps.dwCaps2 |= DDSCAPS2_STEREOSURFACELEFT;
    current = other;
    user.script = [](HWND dialog, const dialogs::ControlView&) {
        Controls controls(dialog);
        EXPECT_EQ(Items(controls.modes), (std::vector<std::string>{"800 x 600 x 16"}));
        EXPECT_EQ(SelectedMode(controls.modes), 1);
        EXPECT_TRUE(Checked(controls.stereo));
        EXPECT_TRUE(IsWindowEnabled(controls.stereo));
        dialogs::PressEnter(dialog);
    };
    EXPECT_EQ(SelectDeviceDialog(&current), S_OK) << "the stereo mode differs from the opening one";
    EXPECT_EQ(current->currentModeIndex, 1u);
    EXPECT_TRUE(current->stereo);
}

} // namespace
