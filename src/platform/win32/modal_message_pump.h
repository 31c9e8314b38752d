// The program's messages while a modal dialog runs. The dialog's loop replaces the program's
// own, so it delivers what the program needs meanwhile (WM_PAINT of the paused main window, its
// posted messages) and holds back what must wait for the dialog to end:
//
// - WM_QUIT ends the dialog's loop and is posted again afterwards, for the program's own loop.
// - A close request for a disabled window (the dialog's owner) cancels the dialog, as closing the
//   dialog would, and is posted again afterwards, so the program still closes.
// - Keyboard input for a disabled window goes to the dialog instead: the owner may hold the
//   keyboard focus (the platform would activate the dialog on any attempt to use its owner).
//   Mouse input for a disabled window is dropped.
//
// No window system here; the queue is the platform's.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "platform/win32/user.h"

namespace dialogs {

class ModalMessagePump {
public:
    // `dialogKeys` gets the key messages of disabled windows.
    ModalMessagePump(HWND dialog, std::function<void(const MSG&)> dialogKeys);
    ~ModalMessagePump();
    ModalMessagePump(const ModalMessagePump&) = delete;
    ModalMessagePump& operator=(const ModalMessagePump&) = delete;

    // Delivers every waiting message. False once the dialog's loop must stop: the dialog ended
    // or is gone, or the quit request came.
    bool DeliverWaiting();

private:
    bool Deliver(const MSG& message);

    HWND dialog_;
    std::function<void(const MSG&)> dialogKeys_;
    std::optional<int> quitCode_;
    std::vector<HWND> closeRequests_;
};

} // namespace dialogs
