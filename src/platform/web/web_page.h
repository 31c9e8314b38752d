// The page around the program: the calls from C++ into the page's script (page.js, which defines
// `LumenfallPage`). The page owns the HTML (loading indicator, boxes, the dialog, the end); the
// program reaches it only through these calls.
//
// The waits give the browser its turn: with Asyncify the program's C++ stack is put aside while
// the page runs, and taken up again where it left off, so the program's blocking loops stay
// loops and never spin.
#pragma once

#include <string>

namespace web {

// Until the browser has shown what was drawn and the next animation frame is due.
void WaitForAnimationFrame();
// Until the page has input for the program (a key, a pointer, a resize, a dialog action), or at
// most `milliseconds`.
void WaitForInput(int milliseconds);

// "loading", "dialog", "playing", "drawn", "ended": document.documentElement.dataset.lumenfall.
void SetPageState(const char* state);

// The program's debugger output, on the browser's console (as information, not as errors).
void WriteToConsole(const char* text);

// A box on the page with its caption, text and an OK button; returns when it is answered.
void ShowPageBox(const std::string& caption, const std::string& text);

// The HTML dialog. `description` is the dialog's JSON (web_dialog.cpp writes it); an update
// replaces the controls' texts, lists and selections.
void OpenPageDialog(const std::string& description);
void UpdatePageDialog(const std::string& description);
void ClosePageDialog();

// What the user did in the dialog, oldest first.
enum class DialogActionKind { NONE, SELECT, CLICK, ENTER, ESCAPE };
struct DialogAction {
    DialogActionKind kind = DialogActionKind::NONE;
    int control = 0; // the control's id (SELECT, CLICK)
    int item = -1;   // the picked item (SELECT)
};
DialogAction TakeDialogAction();

} // namespace web
