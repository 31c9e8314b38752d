// The on-screen dialog without a screen: the start-up dialog (template 144 and its real
// procedure) worked with keys and the mouse as the presenter turns them into user actions, where
// the device list's parts lie, the program's messages while the dialog runs, and no dialog at all
// when nobody can see it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

#include "framework/device_dialog.h"
#include "platform/desktop/desktop_host.h"
#include "platform/desktop/imgui_dialog_text.h"
#include "platform/win32/dialog_interaction.h"
#include "platform/win32/dialog_layout.h"
#include "platform/win32/kernel.h"
#include "platform/win32/modal_message_pump.h"
#include "resources/program_resources.h"
#include "support/fake_drivers.h"
#include "support/shell_test_support.h"
#include "support/window_test_support.h"

namespace {

using dialogs::DialogInteraction;

constexpr WORD VK_F4_KEY = VK_F1 + 3;

POINT Centre(const RECT& rect) {
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

const dialogs::ControlView& ControlWithId(const DialogInteraction& user, int id) {
    for (const dialogs::ControlView& control : user.View().controls) {
        if (control.id == id) {
            return control;
        }
    }
    ADD_FAILURE() << "no control " << id;
    static const dialogs::ControlView none;
    return none;
}

int Selection(const DialogInteraction& user) {
    return ControlWithId(user, IDC_DEVICE_LIST).selection;
}

void Press(DialogInteraction& user, WORD key, bool alt = false, bool shift = false) {
    user.KeyDown(key, alt, shift);
    user.KeyUp(key);
}

void Click(DialogInteraction& user, POINT at) {
    user.MouseMove(at);
    user.MouseDown(at);
    user.MouseUp(at);
}

// The presenter's input logic on the dialog as a user works it, with no window system.
class InteractiveUser final : public host::DialogHandler {
public:
    std::function<void(DialogInteraction&)> script;
    bool RunModal(HWND dialog, const DialogTemplate&) override {
        DialogInteraction user(dialog);
        script(user);
        return true;
    }
};

class DialogInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        shell_test::ResetShellState();
        RegisterProgramResources();
        host::SetDialogHandler(&user);
        drivers.emplace(test_drivers::TypicalFakeDrivers());
        ASSERT_EQ(EnumerateDevices(nullptr), S_OK);
        ASSERT_EQ(SelectDefaultDevice(&current, 0), S_OK);
        ASSERT_EQ(current, &deviceCatalog.records[0]);
    }
    void TearDown() override {
        drivers.reset();
        shell_test::ResetShellState();
    }
    // The other device was chosen, in full screen at its first mode.
    void ExpectSoftwareDeviceChosen(HRESULT result) {
        EXPECT_EQ(result, S_OK);
        ASSERT_EQ(current, &deviceCatalog.records[1]);
        EXPECT_FALSE(current->windowed);
        EXPECT_EQ(current->currentModeIndex, 0u);
    }

    InteractiveUser user;
    std::optional<host::ScopedDrivers> drivers;
    DeviceInfo* current = nullptr;
};

TEST_F(DialogInputTest, KeysOnTheClosedDeviceList) {
    // The list has the keyboard from the start; Enter on the device shown changes nothing.
    user.script = [](DialogInteraction& user) {
        EXPECT_EQ(user.Focus(), ControlWithId(user, IDC_DEVICE_LIST).handle);
        Press(user, VK_RETURN);
        EXPECT_TRUE(user.Finished());
    };
    EXPECT_EQ(SelectDeviceDialog(&current), E_FAIL);
    EXPECT_EQ(current, &deviceCatalog.records[0]);

    // Arrows move the selection at once and stop at the ends.
    user.script = [](DialogInteraction& user) {
        Press(user, VK_UP);
        EXPECT_EQ(Selection(user), 0);
        Press(user, VK_END);
        EXPECT_EQ(Selection(user), 1);
        Press(user, VK_DOWN);
        EXPECT_EQ(Selection(user), 1);
        Press(user, VK_HOME);
        EXPECT_EQ(Selection(user), 0);
        Press(user, VK_DOWN);
        EXPECT_FALSE(user.Finished());
        Press(user, VK_ESCAPE);
        EXPECT_TRUE(user.Finished());
    };
    EXPECT_EQ(SelectDeviceDialog(&current), E_FAIL) << "Escape cancels whatever was picked";
    EXPECT_EQ(current, &deviceCatalog.records[0]);

    user.script = [](DialogInteraction& user) {
        Press(user, VK_DOWN);
        Press(user, VK_RETURN);
    };
    ExpectSoftwareDeviceChosen(SelectDeviceDialog(&current));
}

TEST_F(DialogInputTest, ADroppedListMovesItsHighlightAndPicksOnEnter) {
    user.script = [](DialogInteraction& user) {
        const HWND list = ControlWithId(user, IDC_DEVICE_LIST).handle;
        Press(user, VK_DOWN, /*alt=*/true);
        ASSERT_EQ(user.DroppedList(), list);
        EXPECT_EQ(user.Highlight(), 0);
        Press(user, VK_DOWN);
        EXPECT_EQ(user.Highlight(), 1);
        EXPECT_EQ(Selection(user), 0) << "only the highlight moves while the list is down";
        Press(user, VK_ESCAPE);
        EXPECT_EQ(user.DroppedList(), nullptr);
        EXPECT_EQ(Selection(user), 0);
        EXPECT_FALSE(user.Finished()) << "Escape in a dropped list only closes the list";

        Press(user, VK_F4_KEY);
        Press(user, VK_DOWN);
        Press(user, VK_DOWN); // stays on the last item
        Press(user, VK_RETURN);
        EXPECT_EQ(user.DroppedList(), nullptr);
        EXPECT_EQ(Selection(user), 1);
        EXPECT_FALSE(user.Finished()) << "Enter in a dropped list only picks";
        Press(user, VK_RETURN);
        EXPECT_TRUE(user.Finished());
    };
    ExpectSoftwareDeviceChosen(SelectDeviceDialog(&current));
}

TEST_F(DialogInputTest, TheMouseDropsThePicksAndPressesContinue) {
    user.script = [](DialogInteraction& user) {
        // Copies: every action reads the controls again.
        const HWND list = ControlWithId(user, IDC_DEVICE_LIST).handle;
        const dialogs::ComboGeometry geometry =
            user.GeometryOf(ControlWithId(user, IDC_DEVICE_LIST));
        ASSERT_TRUE(geometry.opensUp) << "the dialog has no room below its device list";
        Click(user, Centre(geometry.button));
        ASSERT_EQ(user.DroppedList(), list);
        // A press anywhere else closes the list and does nothing more.
        Click(user, POINT{5, 5});
        EXPECT_EQ(user.DroppedList(), nullptr);
        EXPECT_EQ(Selection(user), 0);

        Click(user, Centre(geometry.text));
        ASSERT_EQ(user.DroppedList(), list);
        user.MouseMove(Centre(dialogs::ListRowRect(geometry, 1)));
        EXPECT_EQ(user.Highlight(), 1) << "the highlight follows the pointer";
        Click(user, Centre(dialogs::ListRowRect(geometry, 1)));
        EXPECT_EQ(user.DroppedList(), nullptr);
        EXPECT_EQ(Selection(user), 1);

        // Pressed on "c o n t i n u e" but released beside it: no click.
        const RECT button = ControlWithId(user, IDOK).pixels;
        user.MouseDown(Centre(button));
        EXPECT_EQ(user.PressedButton(), ControlWithId(user, IDOK).handle);
        user.MouseMove(POINT{button.left - 10, button.top - 10});
        EXPECT_EQ(user.PressedButton(), nullptr) << "drawn up again while the pointer is off";
        user.MouseUp(POINT{button.left - 10, button.top - 10});
        EXPECT_FALSE(user.Finished());
        Click(user, Centre(button));
        EXPECT_TRUE(user.Finished());
    };
    ExpectSoftwareDeviceChosen(SelectDeviceDialog(&current));
}

TEST_F(DialogInputTest, TabSpaceAndClosingTheWindow) {
    user.script = [](DialogInteraction& user) {
        const HWND button = ControlWithId(user, IDOK).handle;
        Press(user, VK_DOWN);
        Press(user, VK_TAB);
        EXPECT_EQ(user.Focus(), button);
        Press(user, VK_TAB, false, /*shift=*/true);
        EXPECT_EQ(user.Focus(), ControlWithId(user, IDC_DEVICE_LIST).handle);
        Press(user, VK_TAB);
        // Space presses the button; it clicks when the key comes up.
        user.KeyDown(VK_SPACE, false, false);
        EXPECT_EQ(user.PressedButton(), button);
        EXPECT_FALSE(user.Finished());
        user.KeyUp(VK_SPACE);
        EXPECT_TRUE(user.Finished());
    };
    ExpectSoftwareDeviceChosen(SelectDeviceDialog(&current));

    // Closing the dialog's window is cancelling it, whatever was picked.
    current = &deviceCatalog.records[0];
    user.script = [](DialogInteraction& user) {
        Press(user, VK_HOME);
        user.CloseRequested();
        EXPECT_TRUE(user.Finished());
        Press(user, VK_RETURN); // nothing reaches an ended dialog
    };
    EXPECT_EQ(SelectDeviceDialog(&current), E_FAIL);
    EXPECT_EQ(current, &deviceCatalog.records[0]);
}

TEST(DialogLayout, TheDeviceListsPartsFollowTheTemplate) {
    // Template 144's device list: 15, 65, 99 x 47 dialog units in a 182 x 86 dialog.
    const RECT control = dialogs::DialogUnitsToPixels(RECT{15, 65, 114, 112});
    const SIZE client{182 * dialogs::DIALOG_BASE_X / 4, 86 * dialogs::DIALOG_BASE_Y / 8};
    EXPECT_EQ(control.left, 22);
    EXPECT_EQ(control.top, 105);
    EXPECT_EQ(client.cx, 273);
    EXPECT_EQ(client.cy, 139);

    const dialogs::ComboGeometry two = dialogs::LayoutCombo(control, 2, client);
    EXPECT_EQ(two.field.bottom - two.field.top, dialogs::COMBO_FIELD_HEIGHT);
    EXPECT_EQ(two.button.right, control.right - dialogs::COMBO_EDGE);
    EXPECT_EQ(two.text.right, two.button.left);
    EXPECT_EQ(two.rows, 2);
    EXPECT_FALSE(two.scrolls);
    // 139 - 126 pixels below the box cannot take two rows: the list opens above it, touching it.
    ASSERT_TRUE(two.opensUp);
    EXPECT_EQ(two.list.bottom, two.field.top);
    EXPECT_EQ(two.list.bottom - two.list.top,
              2 * dialogs::LIST_ROW_HEIGHT + 2 * dialogs::LIST_FRAME);
    EXPECT_EQ(dialogs::ListRowAt(two, Centre(dialogs::ListRowRect(two, 0))), 0);
    EXPECT_EQ(dialogs::ListRowAt(two, Centre(dialogs::ListRowRect(two, 1))), 1);
    EXPECT_EQ(dialogs::ListRowAt(two, POINT{two.list.left + 5, two.list.top}), -1) << "the frame";
    EXPECT_EQ(dialogs::ListRowAt(two, Centre(two.field)), -1);

    // The template's height holds four rows under the box; more items scroll, and the scroll bar
    // is not part of any row.
    const dialogs::ComboGeometry many = dialogs::LayoutCombo(control, 9, SIZE{400, 400});
    EXPECT_EQ(many.rows, 4);
    EXPECT_TRUE(many.scrolls);
    EXPECT_FALSE(many.opensUp);
    EXPECT_EQ(many.list.top, many.field.bottom);
    EXPECT_EQ(dialogs::ListRowAt(many, POINT{many.list.right - 3, Centre(many.list).y}), -1);
    // An empty list still drops one (empty) row.
    EXPECT_EQ(dialogs::LayoutCombo(control, 0, client).rows, 1);
}

TEST(DialogLayout, TextsReachImGuiAsUtf8) {
    EXPECT_EQ(desktop::DialogTextAsUtf8("c o n t i n u e"), "c o n t i n u e");
    EXPECT_EQ(desktop::DialogTextAsUtf8("caf\xc3\xa9"), "caf\xc3\xa9") << "already UTF-8";
    EXPECT_EQ(desktop::DialogTextAsUtf8("caf\xe9"), "caf\xc3\xa9") << "Latin-1";
    EXPECT_EQ(desktop::DialogTextAsUtf8("\xc3"), "\xc3\x83") << "a cut-off sequence is Latin-1";
}

// ---- The program's messages while a dialog runs ------------------------------------------------
INT_PTR EndOnOkOrCancel(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

class PumpingUser final : public host::DialogHandler {
public:
    std::function<void(HWND dialog, dialogs::ModalMessagePump&)> script;
    std::vector<UINT> keysForTheDialog;
    bool ownerEnabled = true;
    bool RunModal(HWND dialog, const DialogTemplate&) override {
        dialogs::DialogView view;
        dialogs::ReadDialog(dialog, &view);
        ownerEnabled = IsWindowEnabled(view.owner) != FALSE;
        DialogInteraction user(dialog);
        dialogs::ModalMessagePump pump(dialog, [&](const MSG& message) {
            keysForTheDialog.push_back(message.message);
            if (message.message == WM_KEYDOWN) {
                user.KeyDown(static_cast<WORD>(message.wParam), false, false);
            }
        });
        script(dialog, pump);
        return true;
    }
};

class ModalPumpTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_test::ResetUserState();
        window_test::Log() = window_test::MessageLog{};
        RegisterProgramResources();
        owner = window_test::CreateTestWindow();
        host::SetDialogHandler(&user);
        window_test::PumpAll();
        window_test::Log().messages.clear();
    }
    void TearDown() override { window_test::ResetUserState(); }
    INT_PTR Run() {
        return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(144), owner,
                               EndOnOkOrCancel, 0);
    }

    PumpingUser user;
    HWND owner = nullptr;
};

TEST_F(ModalPumpTest, TheOwnerIsPaintedItsKeysGoToTheDialogAndItsCloseWaits) {
    user.script = [&](HWND, dialogs::ModalMessagePump& pump) {
        RedrawWindow(owner, nullptr, nullptr, RDW_INVALIDATE);
        PostMessageA(owner, WM_USER + 1, 0, 0);
        PostMessageA(owner, WM_KEYDOWN, VK_DOWN, 0);
        EXPECT_TRUE(pump.DeliverWaiting());
        EXPECT_EQ(window_test::Log().Count(WM_PAINT), 1) << "the paused program still paints";
        EXPECT_EQ(window_test::Log().Count(WM_USER + 1), 1);
        EXPECT_EQ(window_test::Log().Count(WM_KEYDOWN), 0) << "a disabled window takes no keys";
        EXPECT_EQ(user.keysForTheDialog, std::vector<UINT>{WM_KEYDOWN});

        // Closing the program cancels the dialog; the program closes once the dialog is over.
        PostMessageA(owner, WM_CLOSE, 0, 0);
        EXPECT_FALSE(pump.DeliverWaiting());
        EXPECT_EQ(window_test::Log().Count(WM_CLOSE), 0);
    };
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_FALSE(user.ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    const std::vector<MSG> left = shell_test::TakeQueuedMessages();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].hwnd, owner);
    EXPECT_EQ(left[0].message, WM_CLOSE);
}

TEST_F(ModalPumpTest, EnterForTheOwnerPressesTheDialogsDefaultButton) {
    user.script = [&](HWND dialog, dialogs::ModalMessagePump& pump) {
        PostMessageA(owner, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageA(owner, WM_USER + 2, 0, 0); // after the end: left for the program
        EXPECT_FALSE(pump.DeliverWaiting());
        EXPECT_TRUE(dialogs::IsDialogEnded(dialog));
        EXPECT_EQ(window_test::Log().Count(WM_USER + 2), 0);
    };
    EXPECT_EQ(Run(), IDOK);
    const std::vector<MSG> left = shell_test::TakeQueuedMessages();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].message, WM_USER + 2u);
}

TEST_F(ModalPumpTest, TheQuitRequestEndsTheLoopAndIsPostedAgain) {
    user.script = [&](HWND dialog, dialogs::ModalMessagePump& pump) {
        PostQuitMessage(3);
        EXPECT_FALSE(pump.DeliverWaiting());
        EXPECT_FALSE(dialogs::IsDialogEnded(dialog));
        MSG message;
        EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE))
            << "held back while the dialog's loop winds down";
    };
    EXPECT_EQ(Run(), -1) << "a dialog that never ended has no result";
    const std::vector<MSG> left = shell_test::TakeQueuedMessages();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].message, WM_QUIT);
    EXPECT_EQ(left[0].wParam, 3u);
}

// ---- Nobody to see it --------------------------------------------------------------------------
TEST(HeadlessDialogs, FailAtOnceWithoutADisplayOrOnAnInvisibleOne) {
    shell_test::ResetShellState();
    RegisterProgramResources();
    host::ScopedDrivers drivers(test_drivers::TypicalFakeDrivers());
    ASSERT_EQ(EnumerateDevices(nullptr), S_OK);
    DeviceInfo* current = nullptr;
    ASSERT_EQ(SelectDefaultDevice(&current, 0), S_OK);
    ASSERT_EQ(host::Dialogs(), nullptr) << "the headless default shows no dialogs";
    EXPECT_EQ(SelectDeviceDialog(&current), E_FAIL);
    EXPECT_EQ(current, &deviceCatalog.records[0]);

    // SDL's offscreen driver shows nothing: the desktop host comes up (when SDL's video can start
    // at all) without a dialog presenter, so nothing waits for an answer.
    const char* before = std::getenv("SDL_VIDEODRIVER");
    const std::string saved = before != nullptr ? before : "";
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    const bool desktop = desktop::InstallDesktopHost();
    EXPECT_EQ(host::Dialogs(), nullptr);
    EXPECT_EQ(SelectDeviceDialog(&current), E_FAIL);
    if (desktop) {
        desktop::UninstallDesktopHost();
    }
    if (before != nullptr) {
        setenv("SDL_VIDEODRIVER", saved.c_str(), 1);
    } else {
        unsetenv("SDL_VIDEODRIVER");
    }
    ResetDeviceCatalog();
    shell_test::ResetShellState();
}

} // namespace
