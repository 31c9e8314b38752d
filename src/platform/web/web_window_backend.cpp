// Sections: the canvas's size · browser events · the backend.
#include "platform/web/web_window_backend.h"

#include <algorithm>
#include <cmath>

#include <emscripten.h>
#include <emscripten/html5.h>

#include "platform/web/web_gl_context.h"
#include "platform/web/web_keys.h"
#include "platform/web/web_page.h"
#include "platform/win32/native_window_events.h"

namespace web {

namespace {

constexpr const char* CANVAS = "#canvas";
// How long a waiting message loop sleeps at most before it looks again: the program's own
// timers are the only thing that can need it sooner.
constexpr int EVENT_WAIT_MS = 50;

// Keys that would scroll the page or move the browser's focus; the rest (F5, F11, ...) keep
// their browser meaning as well.
bool KeepFromBrowser(WORD key) {
    switch (key) {
    case VK_ESCAPE:
    case VK_RETURN:
    case VK_SPACE:
    case VK_TAB:
    case VK_BACK:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
        return true;
    default:
        return false;
    }
}

} // namespace

// ---- The canvas's size -------------------------------------------------------------------------

void FitCanvasToPage(int* width, int* height) {
    double cssWidth = 0, cssHeight = 0;
    emscripten_get_element_css_size(CANVAS, &cssWidth, &cssHeight);
    const double ratio = emscripten_get_device_pixel_ratio();
    const int w = std::max(1, static_cast<int>(std::lround(cssWidth * ratio)));
    const int h = std::max(1, static_cast<int>(std::lround(cssHeight * ratio)));
    int current[2] = {0, 0};
    emscripten_get_canvas_element_size(CANVAS, &current[0], &current[1]);
    if (current[0] != w || current[1] != h) {
        emscripten_set_canvas_element_size(CANVAS, w, h);
    }
    *width = w;
    *height = h;
}

// ---- Browser events ----------------------------------------------------------------------------

namespace {

EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* event, void* backend) {
    const WORD key = VirtualKeyFromDomCode(event->code);
    if (key == 0) {
        return EM_FALSE;
    }
    WebWindowBackend::Event queued;
    queued.kind = WebWindowBackend::Event::KEY;
    queued.virtualKey = key;
    queued.down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    queued.repeat = event->repeat != 0;
    queued.alt = event->altKey != 0;
    static_cast<WebWindowBackend*>(backend)->Queue(queued);
    return KeepFromBrowser(key) ? EM_TRUE : EM_FALSE;
}

void QueueKind(void* backend, WebWindowBackend::Event::Kind kind) {
    WebWindowBackend::Event queued;
    queued.kind = kind;
    static_cast<WebWindowBackend*>(backend)->Queue(queued);
}

EM_BOOL OnResize(int, const EmscriptenUiEvent*, void* backend) {
    QueueKind(backend, WebWindowBackend::Event::RESIZE);
    return EM_FALSE;
}

EM_BOOL OnPointer(int, const EmscriptenMouseEvent*, void* backend) {
    QueueKind(backend, WebWindowBackend::Event::POINTER);
    return EM_FALSE;
}

EM_BOOL OnTouch(int, const EmscriptenTouchEvent*, void* backend) {
    QueueKind(backend, WebWindowBackend::Event::POINTER);
    return EM_FALSE;
}

EM_BOOL OnFocus(int type, const EmscriptenFocusEvent*, void* backend) {
    QueueKind(backend, type == EMSCRIPTEN_EVENT_FOCUS ? WebWindowBackend::Event::FOCUS
                                                      : WebWindowBackend::Event::BLUR);
    return EM_FALSE;
}

EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void* backend) {
    QueueKind(backend,
              event->hidden ? WebWindowBackend::Event::HIDDEN : WebWindowBackend::Event::SHOWN);
    return EM_FALSE;
}

const char* const WINDOW_TARGET = EMSCRIPTEN_EVENT_TARGET_WINDOW;

} // namespace

// ---- The backend -------------------------------------------------------------------------------

WebWindowBackend::WebWindowBackend() {
    emscripten_set_keydown_callback(WINDOW_TARGET, this, EM_FALSE, OnKey);
    emscripten_set_keyup_callback(WINDOW_TARGET, this, EM_FALSE, OnKey);
    emscripten_set_resize_callback(WINDOW_TARGET, this, EM_FALSE, OnResize);
    emscripten_set_focus_callback(WINDOW_TARGET, this, EM_FALSE, OnFocus);
    emscripten_set_blur_callback(WINDOW_TARGET, this, EM_FALSE, OnFocus);
    emscripten_set_visibilitychange_callback(this, EM_FALSE, OnVisibility);
    emscripten_set_mousemove_callback(CANVAS, this, EM_FALSE, OnPointer);
    emscripten_set_mousedown_callback(CANVAS, this, EM_FALSE, OnPointer);
    emscripten_set_touchstart_callback(CANVAS, this, EM_FALSE, OnTouch);
}

WebWindowBackend::~WebWindowBackend() {
    emscripten_html5_remove_all_event_listeners();
    delete canvas_;
}

host::NativeWindow* WebWindowBackend::CreateNativeWindow(const host::NativeWindowRequest& request) {
    if (canvas_ != nullptr) {
        return nullptr;
    }
    canvas_ = new CanvasWindow;
    canvas_->window = request.window;
    return canvas_;
}

void WebWindowBackend::DestroyNativeWindow(host::NativeWindow* native) {
    if (native != nullptr && native == canvas_) {
        delete canvas_;
        canvas_ = nullptr;
    }
}

void WebWindowBackend::SetWindowRect(host::NativeWindow* native, const RECT&) {
    // The canvas fills the page whatever the program asks; it hears back where it really is.
    if (native != nullptr && native == canvas_) {
        Queue(Event{Event::RESIZE});
    }
}

RECT WebWindowBackend::GetWindowRect(host::NativeWindow* native) {
    return GetClientRect(native); // no frame: the browser's window is the frame
}

RECT WebWindowBackend::GetClientRect(host::NativeWindow* native) {
    if (native == nullptr || native != canvas_) {
        return RECT{};
    }
    return DesktopRect();
}

void WebWindowBackend::ShowCursor(bool show) {
    // clang-format off
    EM_ASM({ Module.canvas.style.cursor = $0 ? "" : "none"; }, show ? 1 : 0);
    // clang-format on
}

RECT WebWindowBackend::DesktopRect() {
    int width = 0, height = 0;
    FitCanvasToPage(&width, &height);
    return RECT{0, 0, width, height};
}

void WebWindowBackend::PumpEvents() {
    // Taken out first: a message handler may pump again.
    std::vector<Event> events;
    events.swap(events_);
    HWND window = canvas_ != nullptr ? canvas_->window : nullptr;
    for (const Event& event : events) {
        if (window == nullptr) {
            break;
        }
        switch (event.kind) {
        case Event::KEY:
            NativeKeyEvent(window, event.virtualKey, 0, event.down, event.repeat, event.alt);
            break;
        case Event::RESIZE: {
            int width = 0, height = 0;
            FitCanvasToPage(&width, &height);
            NativeWindowPlaced(window, POINT{0, 0}, SIZE{width, height});
            NativeWindowExposed(window);
            break;
        }
        case Event::POINTER:
            NativePointerOver(window);
            break;
        case Event::FOCUS:
        case Event::BLUR:
            NativeWindowFocused(window, event.kind == Event::FOCUS);
            break;
        case Event::HIDDEN:
        case Event::SHOWN:
            NativeWindowMinimized(window, event.kind == Event::HIDDEN);
            break;
        }
    }
}

void WebWindowBackend::WaitEvents() {
    if (events_.empty()) {
        WaitForInput(EVENT_WAIT_MS);
    }
}

std::unique_ptr<host::GlContext> WebWindowBackend::CreateGlContext(host::NativeWindow* native,
                                                                   std::string* failure) {
    if (native == nullptr || native != canvas_) {
        return host::WindowBackend::CreateGlContext(native, failure);
    }
    return CreateCanvasContext(canvas_->window, failure);
}

std::string WebWindowBackend::ProbeGlRenderer() {
    return HardwareName(CanvasRendererName());
}

void WebWindowBackend::ShowFrame(host::NativeWindow* native, const host::PresentedFrame& frame,
                                 bool) {
    if (native == nullptr || native != canvas_) {
        return;
    }
    if (pictureContext_ == nullptr || !pictureContext_->DrawsInto(canvas_->window)) {
        picture_.reset();
        std::string failure;
        pictureContext_ = CreateCanvasContext(canvas_->window, &failure);
        if (pictureContext_ == nullptr) {
            return;
        }
        picture_ = std::make_unique<gl::WindowPicture>();
    }
    picture_->Show(*pictureContext_, frame);
    WaitForAnimationFrame();
}

} // namespace web
