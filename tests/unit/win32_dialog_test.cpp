// The dialog core with template 144: controls made from the template, the combo box and button
// messages, and a presenter acting like a user until the procedure ends the dialog.
#include <gtest/gtest.h>

#include "platform/win32/dialog_controls.h"
#include "platform/win32/windows.h"
#include "resources/program_resources.h"
#include "support/window_test_support.h"

namespace {

// A presenter that runs a test's script as the user, instead of a loop on screen.
class ScriptedDialogs final : public host::DialogHandler {
public:
    std::function<void(HWND)> script;
    bool answer = true;
    int runs = 0;
    bool ownerEnabledDuringRun = true;
    HWND owner = nullptr;

    bool RunModal(HWND dialog, const DialogTemplate& dialogTemplate) override {
        ++runs;
        EXPECT_EQ(dialogTemplate.controls.size(), 6u);
        ownerEnabledDuringRun = IsWindowEnabled(owner) != FALSE;
        if (script) {
            script(dialog);
        }
        return answer;
    }
};

struct ProcLog {
    std::vector<std::pair<WORD, WORD>> commands; // (id, notification)
    int initDialogs = 0;
    LPARAM initParam = 0;
    // What the procedure does on WM_COMMAND; by default: IDOK and IDCANCEL end the dialog.
    std::function<void(HWND, WORD, WORD)> onCommand;
};
ProcLog* procLog = nullptr;

INT_PTR TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ++procLog->initDialogs;
        procLog->initParam = lParam;
        HWND combo = GetDlgItem(dialog, 1000);
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("OpenGL device"));
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Software device"));
        SendMessageA(combo, CB_SETCURSEL, 0, 0);
        return TRUE;
    }
    if (message == WM_COMMAND) {
        WORD id = LOWORD(wParam), code = HIWORD(wParam);
        procLog->commands.emplace_back(id, code);
        if (procLog->onCommand) {
            procLog->onCommand(dialog, id, code);
        } else if (id == IDOK || id == IDCANCEL) {
            EndDialog(dialog, id);
        }
        return TRUE;
    }
    return FALSE;
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_test::ResetUserState();
        RegisterProgramResources();
        procLog = &log_;
        owner_ = window_test::CreateTestWindow();
        dialogs_.owner = owner_;
        host::SetDialogHandler(&dialogs_);
    }
    void TearDown() override {
        window_test::ResetUserState();
        procLog = nullptr;
    }
    INT_PTR Run(int templateId = 144, LPARAM param = 77) {
        return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId),
                               GetForegroundWindow(), TestDialogProc, param);
    }

    ProcLog log_;
    ScriptedDialogs dialogs_;
    HWND owner_ = nullptr;
};

TEST_F(DialogTest, Template144BecomesItsSixControls) {
    dialogs::DialogView view;
    dialogs_.script = [&](HWND dialog) {
        ASSERT_TRUE(dialogs::ReadDialog(dialog, &view));
        EXPECT_EQ(GetWindowLongA(dialog, GWL_STYLE) & static_cast<LONG>(WS_VISIBLE), 0);
        dialogs::PressEscape(dialog);
    };
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_EQ(log_.initDialogs, 1);
    EXPECT_EQ(log_.initParam, 77);
    ASSERT_EQ(view.controls.size(), 6u);
    struct Expected {
        int id;
        ControlKind kind;
        const char* text;
        RECT units;
    };
    const Expected expected[] = {
        {IDOK, ControlKind::PushButton, "c o n t i n u e", {128, 62, 178, 77}},
        {1000, ControlKind::ComboBox, "", {15, 65, 114, 112}},
        {-1, ControlKind::GroupBox, " Select your favorite 3D device: ", {3, 55, 124, 82}},
        {-1, ControlKind::Static, "' lumenfall ' by tamsivor.", {8, 2, 167, 10}},
        {-1,
         ControlKind::Static,
         "released at northmoot-demoparty (harlund, oskaria).",
         {8, 17, 167, 25}},
        {-1,
         ControlKind::Static,
         "note: there's nothing wrong if you don't hear anything... there is no music in this "
         "party version!",
         {8, 32, 167, 53}},
    };
    for (size_t i = 0; i < 6; ++i) {
        const dialogs::ControlView& control = view.controls[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(control.id, expected[i].id);
        EXPECT_EQ(control.kind, expected[i].kind);
        EXPECT_EQ(control.text, expected[i].text);
        EXPECT_EQ(control.dialogUnits.left, expected[i].units.left);
        EXPECT_EQ(control.dialogUnits.top, expected[i].units.top);
        EXPECT_EQ(control.dialogUnits.right, expected[i].units.right);
        EXPECT_EQ(control.dialogUnits.bottom, expected[i].units.bottom);
        EXPECT_TRUE(control.enabled);
        EXPECT_EQ(control.isDefault, i == 0);
        EXPECT_NE(control.style & (WS_CHILD | WS_VISIBLE), 0u);
    }
    EXPECT_EQ(view.controls[1].items,
              (std::vector<std::string>{"OpenGL device", "Software device"}));
    EXPECT_EQ(view.controls[1].selection, 0);
    EXPECT_EQ(view.clientPixels.cx, 182 * dialogs::DIALOG_BASE_X / 4);
    EXPECT_EQ(view.clientPixels.cy, 86 * dialogs::DIALOG_BASE_Y / 8);
}

TEST_F(DialogTest, AbsentControlsAreNullAndMessagesToThemDoNothing) {
    dialogs_.script = [&](HWND dialog) {
        EXPECT_NE(GetDlgItem(dialog, 1000), nullptr);
        EXPECT_NE(GetDlgItem(dialog, IDOK), nullptr);
        for (int id : {1001, 1012, 1013, 1014, IDCANCEL}) {
            HWND absent = GetDlgItem(dialog, id);
            EXPECT_EQ(absent, nullptr) << id;
            EXPECT_EQ(SendMessageA(absent, CB_GETCURSEL, 0, 0), 0);
            EXPECT_EQ(SendMessageA(absent, CB_GETITEMDATA, 0, 0), 0);
            EXPECT_EQ(SendMessageA(absent, BM_GETCHECK, 0, 0), 0);
            EXPECT_FALSE(EnableWindow(absent, FALSE));
        }
        EXPECT_EQ(GetDlgItem(nullptr, 1000), nullptr);
        dialogs::PressEnter(dialog);
    };
    EXPECT_EQ(Run(), IDOK);
}

TEST_F(DialogTest, ComboBoxMessagesFollowThePlatformsErrorRules) {
    dialogs_.script = [&](HWND dialog) {
        HWND combo = GetDlgItem(dialog, 1000);
        EXPECT_EQ(SendMessageA(combo, CB_RESETCONTENT, 0, 0), CB_OKAY);
        EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR); // no selection: -1
        EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, static_cast<WPARAM>(-1), 0), CB_ERR);
        EXPECT_EQ(SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("640 x 480 x 16")),
                  0);
        EXPECT_EQ(SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("800 x 600 x 16")),
                  1);
        EXPECT_EQ(SendMessageA(combo, CB_ADDSTRING, 0, 0), CB_ERR);
        EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 2);
        EXPECT_EQ(SendMessageA(combo, CB_SETITEMDATA, 1, 5), TRUE);
        EXPECT_EQ(SendMessageA(combo, CB_SETITEMDATA, 2, 5), CB_ERR);
        EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 1, 0), 5);
        EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 0, 0), 0);
        EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 1, 0), 1);
        EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
        // Out of range clears the selection.
        EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 2, 0), CB_ERR);
        EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
        char text[32] = {};
        EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXTLEN, 1, 0), 14);
        EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text)), 14);
        EXPECT_STREQ(text, "800 x 600 x 16");
        EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXT, 9, reinterpret_cast<LPARAM>(text)), CB_ERR);

        HWND button = GetDlgItem(dialog, IDOK);
        EXPECT_EQ(SendMessageA(button, BM_GETCHECK, 0, 0), BST_UNCHECKED);
        SendMessageA(button, BM_SETCHECK, BST_CHECKED, 0);
        EXPECT_EQ(SendMessageA(button, BM_GETCHECK, 0, 0), BST_CHECKED);
        dialogs::PressEscape(dialog);
    };
    EXPECT_EQ(Run(), IDCANCEL);
}

TEST_F(DialogTest, PickingADeviceNotifiesTheProcedureWhichMayRefillTheList) {
    // Like the device dialog: every command refills the list and selects the chosen record.
    log_.onCommand = [](HWND dialog, WORD id, WORD code) {
        HWND combo = GetDlgItem(dialog, 1000);
        LRESULT chosen = SendMessageA(combo, CB_GETCURSEL, 0, 0);
        if (id == IDOK) {
            EndDialog(dialog, chosen == 1 ? IDOK : IDCANCEL);
            return;
        }
        SendMessageA(combo, CB_RESETCONTENT, 0, 0);
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("OpenGL device"));
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Software device"));
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
        (void)code;
    };
    dialogs::DialogView after;
    dialogs_.script = [&](HWND dialog) {
        HWND combo = GetDlgItem(dialog, 1000);
        EXPECT_FALSE(dialogs::SelectComboItem(combo, 2)); // no such item
        EXPECT_TRUE(dialogs::SelectComboItem(combo, 1));
        dialogs::ReadDialog(dialog, &after);
        EXPECT_TRUE(dialogs::ClickButton(GetDlgItem(dialog, IDOK)));
        EXPECT_TRUE(dialogs::IsDialogEnded(dialog));
        EXPECT_FALSE(dialogs::PressEnter(dialog)); // an ended dialog takes no more input
    };
    EXPECT_EQ(Run(), IDOK);
    ASSERT_EQ(log_.commands.size(), 3u);
    EXPECT_EQ(log_.commands[0], std::make_pair(WORD{1000}, CBN_SELCHANGE));
    EXPECT_EQ(log_.commands[1], std::make_pair(WORD{1000}, CBN_SELENDOK));
    EXPECT_EQ(log_.commands[2], std::make_pair(WORD{IDOK}, BN_CLICKED));
    EXPECT_EQ(after.controls[1].selection, 1);
    EXPECT_EQ(after.controls[1].items.size(), 2u);
}

TEST_F(DialogTest, EnterPressesTheDefaultButtonUnlessItIsDisabled) {
    dialogs_.script = [&](HWND dialog) {
        EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
        EXPECT_FALSE(dialogs::PressEnter(dialog));
        EXPECT_FALSE(dialogs::ClickButton(GetDlgItem(dialog, IDOK)));
        EXPECT_FALSE(dialogs::IsDialogEnded(dialog));
        EnableWindow(GetDlgItem(dialog, IDOK), TRUE);
        EXPECT_TRUE(dialogs::PressEnter(dialog));
    };
    EXPECT_EQ(Run(), IDOK);
    EXPECT_EQ(log_.commands.size(), 1u);
}

TEST_F(DialogTest, TheOwnerIsDisabledWhileTheDialogRunsAndTheDialogIsGoneAfter) {
    HWND seen = nullptr;
    dialogs_.script = [&](HWND dialog) {
        seen = dialog;
        SendMessageA(dialog, WM_CLOSE, 0, 0); // closing the dialog is cancelling it
    };
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_FALSE(dialogs_.ownerEnabledDuringRun);
    EXPECT_TRUE(IsWindowEnabled(owner_));
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_FALSE(dialogs::ReadDialog(seen, nullptr));
}

TEST_F(DialogTest, FailuresAnswerMinusOne) {
    // A template the program does not have (the about box, 143).
    EXPECT_EQ(Run(143), -1);
    EXPECT_EQ(log_.initDialogs, 0);
    // A presenter that cannot show the dialog.
    dialogs_.answer = false;
    EXPECT_EQ(Run(), -1);
    // A presenter that returns without the dialog having ended.
    dialogs_.answer = true;
    EXPECT_EQ(Run(), -1);
    // No presenter at all: nothing is created, the procedure hears nothing.
    host::SetDialogHandler(nullptr);
    int before = log_.initDialogs;
    EXPECT_EQ(Run(), -1);
    EXPECT_EQ(log_.initDialogs, before);
    EXPECT_FALSE(EndDialog(owner_, 1)); // not a dialog
}

TEST_F(DialogTest, EndingTheDialogWhileItInitialisesSkipsThePresenter) {
    log_.onCommand = nullptr;
    dialogs_.script = [](HWND) { ADD_FAILURE() << "the presenter should not run"; };
    DLGPROC endAtOnce = [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            EndDialog(dialog, 42);
            return TRUE;
        }
        return FALSE;
    };
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(144), owner_, endAtOnce, 0), 42);
    EXPECT_EQ(dialogs_.runs, 0);
}

} // namespace
