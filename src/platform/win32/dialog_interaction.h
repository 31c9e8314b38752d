// How a user works a running dialog with keyboard and mouse, as the platform's dialog manager and
// controls answer them. Input arrives as virtual keys and points in the dialog's client area;
// every effect goes to the dialog through the dialog core's user actions, so the dialog procedure
// sees the WM_COMMAND messages the platform's own controls would send.
//
// Keys. Enter presses the default push button (or the focused push button), Escape cancels, Tab
// moves the focus among the enabled combo boxes and buttons. On a closed combo box Up, Down, Home,
// End, Page Up and Page Down pick another item at once; Alt+Down, Alt+Up and F4 drop the list.
// In a dropped list those keys move the highlight only; Enter (or F4, Alt+Up, Alt+Down) picks
// the highlighted item and closes the list, Escape closes it unchanged. Space presses the focused
// button, which clicks when the key comes up.
//
// Mouse. A press on a combo box drops its list (again: closes it); in a dropped list the
// highlight follows the pointer and a release on a row picks it; a press anywhere else closes the
// list and does nothing more. A push button clicks when the button is released over it.
//
// The dialog's keyboard focus starts on its first combo box, the control the user came for; with
// none, on the default push button. Text cannot be typed into a combo box: its field shows the
// selected item. No window system here: tests drive this directly.
#pragma once

#include "platform/win32/dialog_controls.h"
#include "platform/win32/dialog_layout.h"

namespace dialogs {

class DialogInteraction {
public:
    explicit DialogInteraction(HWND dialog);

    // Reads the dialog's controls again; the procedure or the program may have changed them.
    void Refresh();
    const dialogs::DialogView& View() const { return view_; }
    // The dialog has been ended (EndDialog) or destroyed.
    bool Finished() const;

    void KeyDown(WORD key, bool alt, bool shift);
    void KeyUp(WORD key);
    void MouseDown(POINT point);
    void MouseMove(POINT point);
    void MouseUp(POINT point);
    // Wheel steps: positive away from the user (up the list).
    void Wheel(int steps);
    // The dialog's window was asked to close: WM_CLOSE, which a dialog takes as a cancel.
    void CloseRequested();

    // For drawing: handles of the controls in these states, null for none.
    HWND Focus() const { return focus_; }
    HWND DroppedList() const { return dropped_; }
    HWND PressedButton() const { return pressedShown_ ? pressed_ : nullptr; }
    // The highlighted item of the dropped list and the item in its top row.
    int Highlight() const { return highlight_; }
    int FirstVisibleItem() const { return firstVisible_; }
    ComboGeometry GeometryOf(const dialogs::ControlView& combo) const;

private:
    const dialogs::ControlView* Find(HWND control) const;
    const dialogs::ControlView* Interactive(POINT point) const;
    bool Focusable(const dialogs::ControlView& control) const;
    void MoveFocus(bool backwards);
    void StepSelection(const dialogs::ControlView& combo, WORD key);
    bool ListKey(WORD key, bool alt);
    void OpenList(const dialogs::ControlView& combo);
    void CloseList(bool pick);
    void SetHighlight(int item);
    int ItemCount(HWND combo) const;

    HWND dialog_;
    dialogs::DialogView view_;
    HWND focus_ = nullptr;
    HWND dropped_ = nullptr;
    int highlight_ = -1;
    int firstVisible_ = 0;
    HWND pressed_ = nullptr;    // a button held down by the mouse or the space bar
    bool pressedShown_ = false; // false while the mouse holds it but is off the button
    bool pressedByMouse_ = false;
};

} // namespace dialogs
