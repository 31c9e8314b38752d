// The dialog core's view for dialog presenters and tests.
//
// DialogBoxParamA builds a dialog as a hidden window with one child window per template control
// and hands it to the host's DialogHandler. A presenter reads the controls from here to draw
// them, and acts like a user through the actions below; each action sends the WM_COMMAND that
// the platform's own control would send, so the dialog procedure sees exactly what it would see
// there. The procedure ends the dialog with EndDialog; IsDialogEnded tells the presenter to stop.
#pragma once

#include <string>
#include <vector>

#include "platform/win32/user.h"

enum class ControlKind { Static, PushButton, CheckBox, GroupBox, ComboBox, Other };

namespace dialogs {

struct ControlView {
    HWND handle = nullptr;
    int id = 0;
    ControlKind kind = ControlKind::Other;
    DWORD style = 0;
    RECT dialogUnits{}; // as in the template
    RECT pixels{};      // in the dialog's client area
    std::string text;
    std::vector<std::string> items; // combo boxes: the list, in order
    int selection = -1;             // combo boxes: the selected item, -1 for none
    bool checked = false;           // check boxes
    bool enabled = true;
    bool isDefault = false; // the default push button (Enter presses it)
};

struct DialogView {
    HWND handle = nullptr;
    HWND owner = nullptr; // the window the dialog belongs to; null for none
    std::string caption;
    SIZE clientPixels{};
    bool ended = false;
    INT_PTR result = 0;
    std::vector<ControlView> controls; // in template order
};

// Pixels per dialog unit come from the dialog font's average character size: x pixels =
// units * baseX / 4, y pixels = units * baseY / 8. These are the values of the classic 8-point
// dialog font.
constexpr int DIALOG_BASE_X = 6;
constexpr int DIALOG_BASE_Y = 13;
RECT DialogUnitsToPixels(const RECT& units);

// False when `dialog` is not a dialog that DialogBoxParamA is running.
bool ReadDialog(HWND dialog, DialogView* view);
bool IsDialogEnded(HWND dialog);

// User actions. Each answers false when the control is missing or disabled, and then does
// nothing.
// Picks item `index` of a combo box: CBN_SELCHANGE, then CBN_SELENDOK, to the dialog.
bool SelectComboItem(HWND combo, int index);
// Clicks a button (a check box toggles first): BN_CLICKED to the dialog.
bool ClickButton(HWND button);
// Enter: the default push button, or IDOK when there is none.
bool PressEnter(HWND dialog);
// Escape: IDCANCEL.
bool PressEscape(HWND dialog);

} // namespace dialogs
