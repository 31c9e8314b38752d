#include "platform/desktop/sdl_window_backend.h"

#include <algorithm>
#include <map>
#include <string>

#include "platform/desktop/sdl_gl_context.h"
#include "platform/desktop/sdl_keys.h"
#include "platform/desktop/sdl_window.h"
#include "platform/desktop/sdl_window_surface.h"
#include "platform/host/presentation_options.h"
#include "platform/win32/native_window_events.h"
#include "platform/win32/user.h"
#include "platform/win32/window_frame.h"

namespace desktop {

namespace {

SdlNativeWindow* AsSdl(host::NativeWindow* native) {
    return dynamic_cast<SdlNativeWindow*>(native);
}

bool Decorated(DWORD style) {
    return (style & WS_CAPTION) == WS_CAPTION;
}
bool Resizable(DWORD style) {
    return (style & WS_THICKFRAME) != 0;
}

void TraceSdlFailure(const char* what) {
    std::string line = std::string("SDL: ") + what + ": " + SDL_GetError() + "\n";
    host::WriteDebugOutput(line.c_str());
}

RECT ClientOnScreen(SDL_Window* sdl) {
    int x = 0, y = 0, width = 0, height = 0;
    SDL_GetWindowPosition(sdl, &x, &y);
    SDL_GetWindowSize(sdl, &width, &height);
    return RECT{x, y, x + width, y + height};
}

void PlaceClient(SDL_Window* sdl, const RECT& client) {
    SDL_SetWindowPosition(sdl, client.left, client.top);
    // SDL refuses empty windows; the smallest it takes is one pixel.
    SDL_SetWindowSize(sdl, std::max<LONG>(1, client.right - client.left),
                      std::max<LONG>(1, client.bottom - client.top));
}

// Where each full-screen window's client area was before it went full screen.
std::map<const SdlNativeWindow*, RECT>& PlacesBeforeFullscreen() {
    static std::map<const SdlNativeWindow*, RECT> places;
    return places;
}

} // namespace

SdlWindowBackend::~SdlWindowBackend() {
    for (SdlNativeWindow* window : windows_) {
        SDL_DestroyWindow(window->sdl);
        delete window;
    }
}

host::NativeWindow* SdlWindowBackend::CreateNativeWindow(const host::NativeWindowRequest& request) {
    RECT client = ClientRectFromWindowRect(request.rect, request.style, request.exStyle);
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (!Decorated(request.style)) {
        flags |= SDL_WINDOW_BORDERLESS;
    }
    if (Resizable(request.style)) {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    if ((request.exStyle & WS_EX_TOPMOST) != 0) {
        flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    }
    if ((request.exStyle & WS_EX_TOOLWINDOW) != 0) {
        flags |= SDL_WINDOW_SKIP_TASKBAR;
    }
    int width = std::max<LONG>(1, client.right - client.left);
    int height = std::max<LONG>(1, client.bottom - client.top);
    const char* title = request.title != nullptr ? request.title : "";
    // A display without GL must still get a window: the graphics backend then renders offscreen
    // and needs to know that this window cannot take a context.
    bool hasGl = true;
    SDL_Window* sdl =
        SDL_CreateWindow(title, client.left, client.top, width, height, flags | SDL_WINDOW_OPENGL);
    if (sdl == nullptr) {
        TraceSdlFailure("window for OpenGL");
        hasGl = false;
        sdl = SDL_CreateWindow(title, client.left, client.top, width, height, flags);
    }
    if (sdl == nullptr) {
        TraceSdlFailure("window");
        return nullptr;
    }
    auto* native = new SdlNativeWindow;
    native->window = request.window;
    native->sdl = sdl;
    native->hasGl = hasGl;
    native->style = request.style;
    native->exStyle = request.exStyle;
    windows_.push_back(native);
    return native;
}

void SdlWindowBackend::DestroyNativeWindow(host::NativeWindow* native) {
    SdlNativeWindow* window = AsSdl(native);
    auto found = std::find(windows_.begin(), windows_.end(), window);
    if (window == nullptr || found == windows_.end()) {
        return;
    }
    windows_.erase(found);
    PlacesBeforeFullscreen().erase(window);
    SDL_DestroyWindow(window->sdl);
    delete window;
}

void SdlWindowBackend::ApplyStyle(host::NativeWindow* native, DWORD style, DWORD exStyle) {
    SdlNativeWindow* window = AsSdl(native);
    if (window == nullptr) {
        return;
    }
    SDL_Window* sdl = window->sdl;
    // In exclusive mode the frame is the presentation's (a covered desktop or the play window);
    // the program's style comes back with its window when exclusive mode ends.
    if (!window->exclusive) {
        SDL_SetWindowBordered(sdl, Decorated(style) ? SDL_TRUE : SDL_FALSE);
        SDL_SetWindowResizable(sdl, Resizable(style) ? SDL_TRUE : SDL_FALSE);
        SDL_SetWindowAlwaysOnTop(sdl, (exStyle & WS_EX_TOPMOST) != 0 ? SDL_TRUE : SDL_FALSE);
    }
    Uint32 flags = SDL_GetWindowFlags(sdl);
    bool shown = (flags & SDL_WINDOW_SHOWN) != 0;
    bool minimized = (flags & SDL_WINDOW_MINIMIZED) != 0;
    if ((style & WS_VISIBLE) != 0 && !shown) {
        SDL_ShowWindow(sdl);
    } else if ((style & WS_VISIBLE) == 0 && shown) {
        SDL_HideWindow(sdl);
    }
    if ((style & WS_MINIMIZE) != 0 && !minimized) {
        SDL_MinimizeWindow(sdl);
    } else if ((style & WS_MINIMIZE) == 0 && minimized) {
        SDL_RestoreWindow(sdl);
    }
    window->style = style;
    window->exStyle = exStyle;
}

void SdlWindowBackend::SetWindowRect(host::NativeWindow* native, const RECT& outer) {
    SdlNativeWindow* window = AsSdl(native);
    // An exclusive window covers the desktop, or is the player's play window, whatever the
    // program asks; its own placement comes back when exclusive mode ends.
    if (window == nullptr || window->exclusive) {
        return;
    }
    PlaceClient(window->sdl, ClientRectFromWindowRect(outer, window->style, window->exStyle));
}

RECT SdlWindowBackend::GetWindowRect(host::NativeWindow* native) {
    SdlNativeWindow* window = AsSdl(native);
    if (window == nullptr) {
        return RECT{};
    }
    return WindowRectFromClientRect(ClientOnScreen(window->sdl), window->style, window->exStyle);
}

RECT SdlWindowBackend::GetClientRect(host::NativeWindow* native) {
    SdlNativeWindow* window = AsSdl(native);
    return window != nullptr ? ClientOnScreen(window->sdl) : RECT{};
}

void SdlWindowBackend::SetIcon(host::NativeWindow* native, const IconResource& icon) {
    SdlNativeWindow* window = AsSdl(native);
    if (window == nullptr || icon.width <= 0 || icon.height <= 0 ||
        icon.pixels.size() != static_cast<size_t>(icon.width) * static_cast<size_t>(icon.height)) {
        return;
    }
    // SDL only reads the pixels while it sets the icon.
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<DWORD*>(icon.pixels.data()), icon.width, icon.height, 32, icon.width * 4,
        SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr) {
        TraceSdlFailure("icon");
        return;
    }
    SDL_SetWindowIcon(window->sdl, surface);
    SDL_FreeSurface(surface);
}

void SdlWindowBackend::SetExclusiveFullscreen(host::NativeWindow* native, bool exclusive) {
    SdlNativeWindow* window = AsSdl(native);
    if (window == nullptr || window->exclusive == exclusive) {
        return;
    }
    if (!playChosen_) {
        // Windowed play from the start when the player gave a window size; otherwise the play
        // window that Alt+Enter opens is 1280 x 960, or as much of that as the screen holds.
        const host::PresentationOptions& options = host::GetPresentationOptions();
        playChosen_ = true;
        playInWindow_ = options.windowWidth > 0 && options.windowHeight > 0;
        playWidth_ = playInWindow_ ? options.windowWidth : 1280;
        playHeight_ = playInWindow_ ? options.windowHeight : 960;
        const RECT desktop = DesktopRect();
        const int roomWidth = (desktop.right - desktop.left) * 9 / 10;
        const int roomHeight = (desktop.bottom - desktop.top) * 9 / 10;
        if (!playInWindow_ && (playWidth_ > roomWidth || playHeight_ > roomHeight)) {
            const host::Letterbox fitted =
                host::FitWithAspect(playWidth_, playHeight_, roomWidth, roomHeight);
            playWidth_ = fitted.width;
            playHeight_ = fitted.height;
        }
    }
    window->exclusive = exclusive;
    if (exclusive) {
        PlacesBeforeFullscreen()[window] = ClientOnScreen(window->sdl);
        if (playInWindow_) {
            ShowInPlayWindow(window);
        } else {
            CoverDesktop(window);
        }
    } else {
        if (window->fullscreen && SDL_SetWindowFullscreen(window->sdl, 0) != 0) {
            TraceSdlFailure("leaving full screen");
        }
        window->fullscreen = false;
        SDL_SetWindowBordered(window->sdl, Decorated(window->style) ? SDL_TRUE : SDL_FALSE);
        SDL_SetWindowResizable(window->sdl, Resizable(window->style) ? SDL_TRUE : SDL_FALSE);
        auto& places = PlacesBeforeFullscreen();
        if (auto place = places.find(window); place != places.end()) {
            PlaceClient(window->sdl, place->second);
            places.erase(place);
        }
    }
    ApplyCursor();
}

void SdlWindowBackend::CoverDesktop(SdlNativeWindow* window) {
    // There are no real mode changes: full screen is a desktop-sized window, and the frames
    // are scaled to it. A bare X server (no window manager, as under Xvfb) does not act on
    // SDL's full-screen request: the X window would keep its size while SDL reports the
    // desktop's. So the window is first made to cover the desktop, borderless, by hand; a
    // window manager then finds it there already.
    SDL_SetWindowResizable(window->sdl, SDL_FALSE);
    SDL_SetWindowBordered(window->sdl, SDL_FALSE);
    PlaceClient(window->sdl, DesktopRect());
    if (SDL_SetWindowFullscreen(window->sdl, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        TraceSdlFailure("full screen");
        return;
    }
    window->fullscreen = true;
}

void SdlWindowBackend::ShowInPlayWindow(SdlNativeWindow* window) {
    if (window->fullscreen) {
        if (SDL_SetWindowFullscreen(window->sdl, 0) != 0) {
            TraceSdlFailure("leaving full screen");
        }
        window->fullscreen = false;
    }
    // An ordinary window, centred on the desktop, that the player may resize.
    SDL_SetWindowBordered(window->sdl, SDL_TRUE);
    SDL_SetWindowResizable(window->sdl, SDL_TRUE);
    const RECT desktop = DesktopRect();
    const LONG left = desktop.left + (desktop.right - desktop.left - playWidth_) / 2;
    const LONG top = desktop.top + (desktop.bottom - desktop.top - playHeight_) / 2;
    PlaceClient(window->sdl, RECT{std::max(desktop.left, left), std::max(desktop.top, top),
                                  std::max(desktop.left, left) + playWidth_,
                                  std::max(desktop.top, top) + playHeight_});
}

bool SdlWindowBackend::ToggleExclusivePresentation(SdlNativeWindow* window) {
    if (window == nullptr || !window->exclusive) {
        return false;
    }
    if (window->fullscreen) {
        playInWindow_ = true;
        ShowInPlayWindow(window);
    } else {
        // The play window's size as the player left it, for the next time.
        const RECT client = ClientOnScreen(window->sdl);
        playWidth_ = client.right - client.left;
        playHeight_ = client.bottom - client.top;
        playInWindow_ = false;
        CoverDesktop(window);
    }
    ApplyCursor();
    return true;
}

void SdlWindowBackend::ShowCursor(bool show) {
    cursorWanted_ = show;
    ApplyCursor();
}

void SdlWindowBackend::ApplyCursor() {
    bool hide = false;
    if (!cursorWanted_) {
        SDL_Window* pointed = SDL_GetMouseFocus();
        for (SdlNativeWindow* window : windows_) {
            hide = hide || (window->fullscreen && (pointed == nullptr || pointed == window->sdl));
        }
    }
    SDL_ShowCursor(hide ? SDL_DISABLE : SDL_ENABLE);
}

RECT SdlWindowBackend::DesktopRect() {
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(0, &bounds) != 0) {
        return RECT{0, 0, 1024, 768};
    }
    return RECT{bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h};
}

void SdlWindowBackend::SetMinimumClientSize(host::NativeWindow* native, int width, int height) {
    if (SdlNativeWindow* window = AsSdl(native)) {
        SDL_SetWindowMinimumSize(window->sdl, std::max(1, width), std::max(1, height));
    }
}

SdlNativeWindow* SdlWindowBackend::FindById(Uint32 windowId) const {
    for (SdlNativeWindow* window : windows_) {
        if (SDL_GetWindowID(window->sdl) == windowId) {
            return window;
        }
    }
    return nullptr;
}

void SdlWindowBackend::HandleWindowEvent(const SDL_WindowEvent& event,
                                         std::vector<Uint32>* placed) {
    SdlNativeWindow* window = FindById(event.windowID);
    if (window == nullptr) {
        return;
    }
    HWND hwnd = window->window;
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        NativeWindowCloseRequested(hwnd);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        NativeWindowMinimized(hwnd, true);
        break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
        NativeWindowMinimized(hwnd, false);
        placed->push_back(event.windowID);
        break;
    case SDL_WINDOWEVENT_MOVED:
    case SDL_WINDOWEVENT_RESIZED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        placed->push_back(event.windowID);
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        NativeWindowExposed(hwnd);
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        NativeWindowFocused(hwnd, true);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        NativeWindowFocused(hwnd, false);
        break;
    default:
        break;
    }
}

void SdlWindowBackend::HandleKeyEvent(const SDL_KeyboardEvent& event) {
    SdlNativeWindow* window = FindById(event.windowID);
    if (window == nullptr) {
        SDL_Window* focus = SDL_GetKeyboardFocus();
        window = focus != nullptr ? FindById(SDL_GetWindowID(focus)) : nullptr;
    }
    WORD key = VirtualKeyFromSdl(event.keysym.sym);
    if (window == nullptr || key == 0) {
        return;
    }
    bool altHeld = (event.keysym.mod & KMOD_ALT) != 0 && key != VK_MENU;
    // Alt+Enter belongs to the presentation while the program is in exclusive mode.
    if (key == VK_RETURN && altHeld && window->exclusive) {
        if (event.type == SDL_KEYDOWN && event.repeat == 0) {
            ToggleExclusivePresentation(window);
        }
        return;
    }
    NativeKeyEvent(window->window, key, static_cast<unsigned>(event.keysym.scancode) & 0xFFu,
                   event.type == SDL_KEYDOWN, event.repeat != 0, altHeld);
}

void SdlWindowBackend::PumpEvents() {
    std::vector<Uint32> placed;
    std::vector<Uint32> pointed;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        switch (event.type) {
        case SDL_QUIT: // a close request from outside: the session, a signal
            for (SdlNativeWindow* window : windows_) {
                NativeWindowCloseRequested(window->window);
            }
            break;
        case SDL_WINDOWEVENT:
            HandleWindowEvent(event.window, &placed);
            if (event.window.event == SDL_WINDOWEVENT_ENTER) {
                pointed.push_back(event.window.windowID);
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            HandleKeyEvent(event.key);
            break;
        case SDL_MOUSEMOTION:
            pointed.push_back(event.motion.windowID);
            break;
        default:
            break;
        }
    }
    // Placement is read once per pump, after SDL has seen every change: intermediate sizes of a
    // drag or of a full-screen switch are never reported.
    std::sort(placed.begin(), placed.end());
    placed.erase(std::unique(placed.begin(), placed.end()), placed.end());
    for (Uint32 id : placed) {
        if (SdlNativeWindow* window = FindById(id)) {
            RECT client = ClientOnScreen(window->sdl);
            NativeWindowPlaced(window->window, POINT{client.left, client.top},
                               SIZE{client.right - client.left, client.bottom - client.top});
        }
    }
    std::sort(pointed.begin(), pointed.end());
    pointed.erase(std::unique(pointed.begin(), pointed.end()), pointed.end());
    if (!pointed.empty()) {
        ApplyCursor(); // the pointer may have moved onto or off a full-screen window
    }
    for (Uint32 id : pointed) {
        // Looked up each time: the message sent for one window may destroy another.
        if (SdlNativeWindow* window = FindById(id)) {
            NativePointerOver(window->window);
        }
    }
}

void SdlWindowBackend::WaitEvents() {
    // Blocks in SDL until an event is pending; the next PumpEvents takes it.
    SDL_WaitEvent(nullptr);
}

std::unique_ptr<host::GlContext> SdlWindowBackend::CreateGlContext(host::NativeWindow* native,
                                                                   std::string* failure) {
    if (native == nullptr) {
        return host::WindowBackend::CreateGlContext(native, failure);
    }
    return CreateSdlGlContext(native->window, failure);
}

std::string SdlWindowBackend::ProbeGlRenderer() {
    return ProbeSdlGlRenderer();
}

void SdlWindowBackend::ShowFrame(host::NativeWindow* native, const host::PresentedFrame& frame,
                                 bool waitForRefresh) {
    if (SdlNativeWindow* window = AsSdl(native)) {
        ShowFrameInWindow(window->sdl, frame, waitForRefresh);
    }
}

SDL_Window* SdlWindowOf(HWND window) {
    SdlNativeWindow* native = AsSdl(host::NativeWindowOf(window));
    return native != nullptr ? native->sdl : nullptr;
}

bool SdlWindowHasGl(HWND window) {
    SdlNativeWindow* native = AsSdl(host::NativeWindowOf(window));
    return native != nullptr && native->hasGl;
}

} // namespace desktop
