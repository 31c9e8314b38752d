// Helpers for tests of the application shell: a clean slate of the process-wide state the shell
// keeps (windows, queue, seams, device catalog, pause count, window style), message boxes that
// are counted instead of shown, and the debugger output captured as text.
#pragma once

#include <string>
#include <vector>

#include "platform/host/drivers.h"
#include "platform/host/host.h"
#include "platform/win32/user.h"

namespace shell_test {

// Destroys every window, empties the queue, puts the headless seams back and zeroes the shell's
// process-wide state, as at process start.
void ResetShellState();

// Answers every box with IDOK and keeps what it showed.
class CountingMessageBoxes final : public host::MessageBoxHandler {
public:
    struct Box {
        HWND owner;
        std::string text;
        std::string caption;
        UINT type;
    };
    std::vector<Box> boxes;

    int Show(HWND owner, const char* text, const char* caption, UINT type) override {
        boxes.push_back(Box{owner, text, caption, type});
        return IDOK;
    }
    int Count(const std::string& text) const;
};

// Collects OutputDebugStringA for its lifetime.
class DebugCapture {
public:
    DebugCapture();
    ~DebugCapture();
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    const std::string& Text() const { return text_; }
    // How many times `piece` occurs in the output.
    int Count(const std::string& piece) const;

private:
    std::string text_;
};

// Messages waiting in the queue, taken out (WM_QUIT included) without dispatching them.
std::vector<MSG> TakeQueuedMessages();

} // namespace shell_test
