// Helpers for tests of the USER layer: a clean queue and no windows left between tests, a log of
// the messages a window procedure saw, and a window backend that records what it was asked.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/host/host.h"
#include "platform/win32/user.h"

namespace window_test {

// Destroys every window, empties the queue (WM_QUIT included) and puts the headless seams back.
void ResetUserState();

struct LoggedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// One process-wide log that LoggingWindowProc writes to; tests may give it a handler that runs
// for each message and decides the answer (nullptr: DefWindowProcA).
struct MessageLog {
    std::vector<LoggedMessage> messages;
    std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> handler;
    std::vector<UINT> Kinds() const;
    int Count(UINT message) const;
};
MessageLog& Log();
LRESULT LoggingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the class "TestWindow" with LoggingWindowProc (once) and creates a window of it.
HWND CreateTestWindow(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, int width = 300,
                      int height = 300);

// Takes every message that is waiting and dispatches it (WM_QUIT too is taken, not dispatched).
// Returns the messages taken, in order.
std::vector<MSG> PumpAll();

// A window backend that keeps a log of calls and stands in native windows that are plain
// records. WaitEvents runs `onWait` (which may post), so a test can see GetMessageA block.
class RecordingWindowBackend final : public host::WindowBackend {
public:
    struct Native final : host::NativeWindow {
        host::NativeWindowRequest request;
        std::string title;
        DWORD style = 0;
        DWORD exStyle = 0;
        RECT rect{};
        bool fullscreen = false;
        int iconWidth = 0;
    };

    std::vector<std::string> calls;
    std::vector<Native*> live;
    int waits = 0;
    std::function<void()> onWait;
    std::function<void()> onPump;

    ~RecordingWindowBackend() override;
    bool HasDisplay() override { return true; }
    host::NativeWindow* CreateNativeWindow(const host::NativeWindowRequest& request) override;
    void DestroyNativeWindow(host::NativeWindow* native) override;
    void ApplyStyle(host::NativeWindow* native, DWORD style, DWORD exStyle) override;
    void SetWindowRect(host::NativeWindow* native, const RECT& outer) override;
    RECT GetWindowRect(host::NativeWindow* native) override;
    RECT GetClientRect(host::NativeWindow* native) override;
    void SetIcon(host::NativeWindow* native, const IconResource& icon) override;
    void SetExclusiveFullscreen(host::NativeWindow* native, bool exclusive) override;
    void ShowCursor(bool show) override;
    RECT DesktopRect() override { return RECT{0, 0, 800, 600}; }
    void PumpEvents() override;
    void WaitEvents() override;
};

} // namespace window_test
