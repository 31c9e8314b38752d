#include "support/shell_test_support.h"

#include "app/application.h"
#include "framework/device_catalog.h"
#include "platform/host/presentation.h"
#include "support/window_test_support.h"

namespace shell_test {

void ResetShellState() {
    // No window procedure may reach an application object of an earlier test.
    theApplication = nullptr;
    window_test::ResetUserState();
    host::SetFrameSink(nullptr);
    ResetDeviceCatalog();
    pauseCount = 0;
    lastWindowed = TRUE;
    savedWindowStyle = 0;
    savedWindowRect = RECT{0, 0, 0, 0};
    statsFrames = 0;
    statsLastTime = 0.0f;
    statsRate = 0.0f;
}

int CountingMessageBoxes::Count(const std::string& text) const {
    int count = 0;
    for (const Box& box : boxes) {
        count += box.text == text ? 1 : 0;
    }
    return count;
}

DebugCapture::DebugCapture() {
    host::SetDebugOutputSink([this](const char* text) { text_ += text; });
}

DebugCapture::~DebugCapture() {
    host::SetDebugOutputSink(nullptr);
}

int DebugCapture::Count(const std::string& piece) const {
    int count = 0;
    for (size_t at = text_.find(piece); at != std::string::npos;
         at = text_.find(piece, at + piece.size())) {
        ++count;
    }
    return count;
}

std::vector<MSG> TakeQueuedMessages() {
    std::vector<MSG> taken;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        taken.push_back(message);
    }
    return taken;
}

} // namespace shell_test
