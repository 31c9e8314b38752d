// The host's contracts: the seams through which a run decides what is real.
//
// Every seam starts in its headless default, which is what the tests get: a monotonic clock,
// windows that are plain records with no display, message boxes written to standard error and
// answered IDOK, dialogs that cannot be shown, debugger output to standard error. Nothing here
// builds a real implementation: the program's entry installs the desktop's (platform/desktop/:
// SDL windows and events, SDL message boxes, the ImGui dialog), the capture tool its own, tests
// their fakes.
//
// Graphics seams (drivers, devices, presentation) are in platform/host/drivers.h.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/host/gl_context.h"
#include "platform/host/presentation.h"
#include "platform/win32/resources.h"
#include "platform/win32/types.h"

namespace host {

// ---- Clock behind timeGetTime ------------------------------------------------------------------
class ClockSource {
public:
    virtual ~ClockSource() = default;
    virtual DWORD Milliseconds() = 0;
};

// A clock that moves only when told to; for tests and the capture tool.
class ManualClock final : public ClockSource {
public:
    explicit ManualClock(DWORD start = 0) : now_(start) {}
    DWORD Milliseconds() override { return now_; }
    void Set(DWORD ms) { now_ = ms; }
    void Advance(DWORD ms) { now_ += ms; } // wraps at 2^32 like the real counter
private:
    DWORD now_;
};

// Null restores the monotonic clock. The clock is not owned.
void SetClock(ClockSource* clock);
ClockSource& Clock();

// ---- Windows and events ------------------------------------------------------------------------
// Each backend derives its own native window from this; the win32 layer holds it per HWND.
struct NativeWindow {
    HWND window = nullptr; // the window this native window stands for
    virtual ~NativeWindow() = default;
};

struct NativeWindowRequest {
    HWND window = nullptr; // the window this native window stands for
    const char* title = "";
    RECT rect{};     // outer rectangle in screen coordinates
    DWORD style = 0; // WS_ styles: WS_POPUP is borderless, an overlapped window is decorated
    DWORD exStyle = 0;
};

class WindowBackend {
public:
    virtual ~WindowBackend() = default;
    virtual bool HasDisplay() = 0;
    // Null when the window cannot be made; the window then lives on as a record.
    virtual NativeWindow* CreateNativeWindow(const NativeWindowRequest& request) = 0;
    virtual void DestroyNativeWindow(NativeWindow* native) = 0;
    virtual void ApplyStyle(NativeWindow* native, DWORD style, DWORD exStyle) = 0;
    virtual void SetWindowRect(NativeWindow* native, const RECT& outer) = 0;
    virtual RECT GetWindowRect(NativeWindow* native) = 0;
    virtual RECT GetClientRect(NativeWindow* native) = 0; // screen coordinates
    virtual void SetIcon(NativeWindow* native, const IconResource& icon) = 0;
    // Exclusive full screen: a desktop-sized borderless window on top; false puts it back.
    virtual void SetExclusiveFullscreen(NativeWindow* native, bool exclusive) = 0;
    virtual void ShowCursor(bool show) = 0;
    virtual RECT DesktopRect() = 0;
    // The smallest client size the user may drag the window to (from WM_GETMINMAXINFO).
    virtual void SetMinimumClientSize(NativeWindow* /*native*/, int /*width*/, int /*height*/) {}
    // Turns pending native events into window messages.
    virtual void PumpEvents() = 0;
    // Blocks until a native event is pending, without spinning.
    virtual void WaitEvents() = 0;

    // ---- Drawing into windows: what the 3D devices and presentation need of a backend ----
    // A 3.3 core GL context on the window (gl_context.h), or null with the reason: no native
    // window, a window made without GL, or no such context to be had.
    virtual std::unique_ptr<GlContext> CreateGlContext(NativeWindow* native, std::string* failure);
    // The renderer string a window context would report, for the device list; empty without GL.
    // It may make a context and destroy it again.
    virtual std::string ProbeGlRenderer() { return std::string(); }
    // Shows a picture from memory in the window, fitted by FitWithAspect with black borders (for
    // the software device and memory surfaces). With `waitForRefresh` (a full-screen flip) it
    // waits until a refresh period of the display has passed since the previous picture, so a
    // full-screen loop never outruns the display and never spins.
    virtual void ShowFrame(NativeWindow* /*native*/, const PresentedFrame& /*frame*/,
                           bool /*waitForRefresh*/) {}
};

// Null restores the headless backend. The backend is not owned. Native windows of the previous
// backend are destroyed first; their HWNDs live on as records.
void SetWindowBackend(WindowBackend* backend);
WindowBackend& Windows();

// The native window of a top-level window; null for children, dialogs, destroyed handles and
// headless records. Every backend method accepts null and then does nothing. The window table
// (platform/win32/) implements this, as it holds the native windows.
NativeWindow* NativeWindowOf(HWND window);
// Before a backend change: the old backend's native windows are destroyed, the records stay
// (implemented by the window table too).
void DetachNativeWindows();

// ---- Message boxes and dialogs -----------------------------------------------------------------
class MessageBoxHandler {
public:
    virtual ~MessageBoxHandler() = default;
    virtual int Show(HWND owner, const char* text, const char* caption, UINT type) = 0;
};
void SetMessageBoxHandler(MessageBoxHandler* handler); // null: standard error, IDOK
MessageBoxHandler& MessageBoxes();

// Runs the modal loop of a dialog that DialogBoxParamA has created and initialised: it shows the
// dialog and turns the user's actions into messages to it until EndDialog is called. Answers
// false when the dialog cannot be shown at all (DialogBoxParamA then fails).
class DialogHandler {
public:
    virtual ~DialogHandler() = default;
    virtual bool RunModal(HWND dialog, const DialogTemplate& dialogTemplate) = 0;
};
void SetDialogHandler(DialogHandler* handler); // null: dialogs cannot be shown
DialogHandler* Dialogs();

// ---- Debugger output ---------------------------------------------------------------------------
// Null restores standard error.
void SetDebugOutputSink(std::function<void(const char*)> sink);
void WriteDebugOutput(const char* text);

} // namespace host
