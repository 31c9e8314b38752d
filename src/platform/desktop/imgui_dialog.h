// The on-screen dialog presenter of the desktop host: a modal dialog in a small borderless SDL
// window of its own, drawn with Dear ImGui through SDL's software renderer.
//
// The window is the dialog's outer rectangle as the dialog core placed it (the template's size in
// dialog units converted with the template font's metrics, centred on the screen for DS_CENTER),
// with the 1-pixel WS_BORDER frame drawn by the presenter. It is mapped after the program's
// windows and raised, so it lies on top of them, also under an X server with no window manager,
// and it takes the keyboard focus; when the dialog ends the focus goes back to the owner. The
// window is made for the first dialog and hidden, not destroyed, when a dialog ends (see
// DialogWindow in imgui_dialog.cpp for why).
//
// The modal loop runs on the GUI thread: it delivers the program's messages (the paused main
// window still gets WM_PAINT; see modal_message_pump.h), turns the dialog window's events into
// user actions (dialog_interaction.h), draws after every event and a few times a second, and
// waits for events in between without spinning. It returns when EndDialog was called, the dialog
// is gone or the quit request came.
//
// The software renderer keeps the dialog away from OpenGL entirely: the program's 3D device owns
// the GL context of the main window and must find it as it left it.
#pragma once

#include <memory>

#include "platform/host/host.h"

namespace desktop {

class DialogWindow;

class ImGuiDialogPresenter final : public host::DialogHandler {
public:
    ImGuiDialogPresenter();
    ~ImGuiDialogPresenter() override; // the dialogs' window goes with the presenter
    ImGuiDialogPresenter(const ImGuiDialogPresenter&) = delete;
    ImGuiDialogPresenter& operator=(const ImGuiDialogPresenter&) = delete;

    bool RunModal(HWND dialog, const DialogTemplate& dialogTemplate) override;

private:
    std::unique_ptr<DialogWindow> window_; // made for the first dialog, hidden between them
};

} // namespace desktop
