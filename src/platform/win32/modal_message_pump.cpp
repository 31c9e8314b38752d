#include "platform/win32/modal_message_pump.h"

#include <algorithm>

#include "platform/win32/dialog_controls.h"

namespace dialogs {

namespace {

constexpr UINT KEY_MESSAGES_FIRST = WM_KEYDOWN;
constexpr UINT KEY_MESSAGES_LAST = 0x0109;
constexpr UINT MOUSE_MESSAGES_FIRST = WM_MOUSEMOVE;
constexpr UINT MOUSE_MESSAGES_LAST = 0x020E;

bool IsKeyMessage(UINT message) {
    return message >= KEY_MESSAGES_FIRST && message <= KEY_MESSAGES_LAST;
}
bool IsMouseMessage(UINT message) {
    return message >= MOUSE_MESSAGES_FIRST && message <= MOUSE_MESSAGES_LAST;
}

bool IsDisabledWindow(HWND window) {
    return window != nullptr && IsWindow(window) && !IsWindowEnabled(window);
}

} // namespace

ModalMessagePump::ModalMessagePump(HWND dialog, std::function<void(const MSG&)> dialogKeys)
    : dialog_(dialog), dialogKeys_(std::move(dialogKeys)) {}

ModalMessagePump::~ModalMessagePump() {
    // Posted after the dialog is over, in the order they came; the quit request comes last in
    // the queue's own order anyway.
    for (HWND window : closeRequests_) {
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
    if (quitCode_) {
        PostQuitMessage(*quitCode_);
    }
}

bool ModalMessagePump::DeliverWaiting() {
    MSG message{};
    while (!quitCode_ && IsWindow(dialog_) && !dialogs::IsDialogEnded(dialog_) &&
           PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (!Deliver(message)) {
            break;
        }
    }
    return !quitCode_ && IsWindow(dialog_) && !dialogs::IsDialogEnded(dialog_);
}

bool ModalMessagePump::Deliver(const MSG& message) {
    if (message.message == WM_QUIT) {
        quitCode_ = static_cast<int>(message.wParam);
        return false;
    }
    if (IsDisabledWindow(message.hwnd)) {
        if (message.message == WM_CLOSE) {
            if (std::find(closeRequests_.begin(), closeRequests_.end(), message.hwnd) ==
                closeRequests_.end()) {
                closeRequests_.push_back(message.hwnd);
            }
            SendMessageA(dialog_, WM_CLOSE, 0, 0);
            return true;
        }
        if (IsKeyMessage(message.message)) {
            if (dialogKeys_) {
                dialogKeys_(message);
            }
            return true;
        }
        if (IsMouseMessage(message.message)) {
            return true;
        }
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return true;
}

} // namespace dialogs
