#include "support/window_test_support.h"

#include <algorithm>

#include "platform/win32/kernel.h"
#include "platform/win32/window_records.h"

namespace window_test {

void ResetUserState() {
    host::SetWindowBackend(nullptr);
    host::SetDialogHandler(nullptr);
    host::SetMessageBoxHandler(nullptr);
    host::SetClock(nullptr);
    host::SetDebugOutputSink(nullptr);
    for (HWND window : AllWindows()) {
        DestroyWindow(window);
    }
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    Log().messages.clear();
    Log().handler = nullptr;
}

std::vector<UINT> MessageLog::Kinds() const {
    std::vector<UINT> kinds;
    for (const LoggedMessage& m : messages) {
        kinds.push_back(m.message);
    }
    return kinds;
}

int MessageLog::Count(UINT message) const {
    return static_cast<int>(
        std::count_if(messages.begin(), messages.end(),
                      [&](const LoggedMessage& m) { return m.message == message; }));
}

MessageLog& Log() {
    static MessageLog log;
    return log;
}

LRESULT LoggingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Log().messages.push_back(LoggedMessage{window, message, wParam, lParam});
    if (Log().handler) {
        return Log().handler(window, message, wParam, lParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateTestWindow(DWORD style, int width, int height) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = LoggingWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.lpszClassName = "TestWindow";
        registered = RegisterClassA(&windowClass) != 0;
    }
    return CreateWindowExA(0, "TestWindow", "test", style, CW_USEDEFAULT, CW_USEDEFAULT, width,
                           height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

std::vector<MSG> PumpAll() {
    std::vector<MSG> taken;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        taken.push_back(message);
        if (message.message != WM_QUIT) {
            DispatchMessageA(&message);
        }
    }
    return taken;
}

namespace {
RecordingWindowBackend::Native* AsNative(host::NativeWindow* native) {
    return dynamic_cast<RecordingWindowBackend::Native*>(native);
}
} // namespace

RecordingWindowBackend::~RecordingWindowBackend() {
    for (Native* native : live) {
        delete native;
    }
}

host::NativeWindow* RecordingWindowBackend::CreateNativeWindow(const host::NativeWindowRequest& request) {
    auto* native = new Native;
    native->request = request;
    native->title = request.title;
    native->style = request.style;
    native->exStyle = request.exStyle;
    native->rect = request.rect;
    live.push_back(native);
    calls.push_back("create");
    return native;
}

void RecordingWindowBackend::DestroyNativeWindow(host::NativeWindow* native) {
    Native* n = AsNative(native);
    if (n == nullptr) {
        return;
    }
    live.erase(std::remove(live.begin(), live.end(), n), live.end());
    delete n;
    calls.push_back("destroy");
}

void RecordingWindowBackend::ApplyStyle(host::NativeWindow* native, DWORD style, DWORD exStyle) {
    if (Native* n = AsNative(native)) {
        n->style = style;
        n->exStyle = exStyle;
        calls.push_back("style");
    }
}

void RecordingWindowBackend::SetWindowRect(host::NativeWindow* native, const RECT& outer) {
    if (Native* n = AsNative(native)) {
        n->rect = outer;
        calls.push_back("rect");
    }
}

RECT RecordingWindowBackend::GetWindowRect(host::NativeWindow* native) {
    Native* n = AsNative(native);
    return n != nullptr ? n->rect : RECT{};
}

RECT RecordingWindowBackend::GetClientRect(host::NativeWindow* native) {
    return GetWindowRect(native);
}

void RecordingWindowBackend::SetIcon(host::NativeWindow* native, const IconResource& icon) {
    if (Native* n = AsNative(native)) {
        n->iconWidth = icon.width;
        calls.push_back("icon");
    }
}

void RecordingWindowBackend::SetExclusiveFullscreen(host::NativeWindow* native, bool exclusive) {
    if (Native* n = AsNative(native)) {
        n->fullscreen = exclusive;
    }
}

void RecordingWindowBackend::ShowCursor(bool show) {
    calls.push_back(show ? "cursor shown" : "cursor hidden");
}

void RecordingWindowBackend::PumpEvents() {
    if (onPump) {
        onPump();
    }
}

void RecordingWindowBackend::WaitEvents() {
    ++waits;
    if (onWait) {
        onWait();
    }
}

} // namespace window_test
