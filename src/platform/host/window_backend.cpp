// The window backend seam and the headless backend.
#include <chrono>
#include <thread>

#include "platform/host/headless_window_backend.h"

namespace host {

namespace {

HeadlessWindowBackend headlessBackend;
WindowBackend* currentBackend = &headlessBackend;

} // namespace

void HeadlessWindowBackend::WaitEvents() {
    // Nothing outside the program can post here; a short sleep keeps a blocked GetMessageA from
    // burning a core while a test arranges for the message it waits for.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

std::unique_ptr<GlContext> WindowBackend::CreateGlContext(NativeWindow*, std::string* failure) {
    *failure = "the window has no native window to draw into";
    return nullptr;
}

void SetWindowBackend(WindowBackend* backend) {
    WindowBackend* next = backend != nullptr ? backend : &headlessBackend;
    if (next == currentBackend) {
        return;
    }
    DetachNativeWindows(); // through the old backend, which made them
    currentBackend = next;
}

WindowBackend& Windows() {
    return *currentBackend;
}

} // namespace host
