// The message box, dialog and debug output seams with their headless defaults.
#include <cstdio>
#include <utility>

#include "platform/host/host.h"

namespace host {

namespace {

class StandardErrorMessageBox final : public MessageBoxHandler {
public:
    int Show(HWND, const char* text, const char* caption, UINT) override {
        std::fprintf(stderr, "%s: %s\n", caption, text);
        std::fflush(stderr);
        return IDOK;
    }
};

StandardErrorMessageBox standardErrorMessageBox;
MessageBoxHandler* currentMessageBoxes = &standardErrorMessageBox;
DialogHandler* currentDialogs = nullptr;

std::function<void(const char*)>& DebugSink() {
    static std::function<void(const char*)> sink;
    return sink;
}

} // namespace

void SetMessageBoxHandler(MessageBoxHandler* handler) {
    currentMessageBoxes = handler != nullptr ? handler : &standardErrorMessageBox;
}

MessageBoxHandler& MessageBoxes() {
    return *currentMessageBoxes;
}

void SetDialogHandler(DialogHandler* handler) {
    currentDialogs = handler;
}

DialogHandler* Dialogs() {
    return currentDialogs;
}

void SetDebugOutputSink(std::function<void(const char*)> sink) {
    DebugSink() = std::move(sink);
}

void WriteDebugOutput(const char* text) {
    if (text == nullptr) {
        return;
    }
    if (DebugSink()) {
        DebugSink()(text);
    } else {
        std::fputs(text, stderr);
    }
}

} // namespace host
