// The window backend of the page: the program's top-level window is the page's canvas, which
// fills the browser window. Its client area is the canvas's drawing buffer, as many pixels as
// the screen has under it (CSS size times the device pixel ratio), so the picture stays sharp on
// high-density screens; the page is the whole desktop. Keys of the browser window, the pointer
// over the canvas, resizes, focus and the page being hidden become window messages (through
// platform/win32/native_window_events.h).
//
// There is one canvas: a second top-level window gets no native window and lives as a record.
// Full screen is what the window always is here; the browser's own full screen is the page's
// (its button, a double click).
//
// The canvas's one WebGL 2 context (web_gl_context.h) is the window's GL context; pictures from
// memory reach the canvas through it too (gl/window_picture.h).
#pragma once

#include <memory>
#include <vector>

#include "platform/gl/window_picture.h"
#include "platform/host/host.h"

namespace web {

struct CanvasWindow final : host::NativeWindow {};

class WebWindowBackend final : public host::WindowBackend {
public:
    WebWindowBackend();
    ~WebWindowBackend() override;
    bool HasDisplay() override { return true; }
    host::NativeWindow* CreateNativeWindow(const host::NativeWindowRequest& request) override;
    void DestroyNativeWindow(host::NativeWindow* native) override;
    void ApplyStyle(host::NativeWindow*, DWORD, DWORD) override {}
    void SetWindowRect(host::NativeWindow* native, const RECT& outer) override;
    RECT GetWindowRect(host::NativeWindow* native) override;
    RECT GetClientRect(host::NativeWindow* native) override;
    void SetIcon(host::NativeWindow*, const IconResource&) override {}
    void SetExclusiveFullscreen(host::NativeWindow*, bool) override {}
    void ShowCursor(bool show) override;
    RECT DesktopRect() override;
    void PumpEvents() override;
    void WaitEvents() override;
    std::unique_ptr<host::GlContext> CreateGlContext(host::NativeWindow* native,
                                                     std::string* failure) override;
    // The part of the renderer's name that names the hardware (HardwareName).
    std::string ProbeGlRenderer() override;
    // Waits for the browser's next animation frame, as every picture on the canvas does.
    void ShowFrame(host::NativeWindow* native, const host::PresentedFrame& frame,
                   bool waitForRefresh) override;

    // What arrives from the browser between pumps.
    struct Event {
        enum Kind { KEY, RESIZE, POINTER, FOCUS, BLUR, HIDDEN, SHOWN } kind = KEY;
        WORD virtualKey = 0;
        unsigned scanCode = 0;
        bool down = false;
        bool repeat = false;
        bool alt = false;
    };
    void Queue(const Event& event) { events_.push_back(event); }

private:
    CanvasWindow* canvas_ = nullptr; // the window that has the canvas, if any
    std::vector<Event> events_;
    // For pictures from memory, made at the first (the picture goes before its context).
    std::unique_ptr<host::GlContext> pictureContext_;
    std::unique_ptr<gl::WindowPicture> picture_;
};

// The canvas's drawing-buffer size, made to match its size on screen first.
void FitCanvasToPage(int* width, int* height);

} // namespace web
