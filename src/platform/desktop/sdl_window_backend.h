// The SDL window backend: each top-level window is an SDL window, and SDL's events become window
// messages (through platform/win32/native_window_events.h).
//
// SDL's window position and size are those of the client area; the frame around it is the
// window manager's. Rectangles cross this boundary with the platform's nominal frame
// (platform/win32/window_frame.h), so what the program saves it can restore exactly.
//
// A window in exclusive mode (the program's full screen, in its display mode) is shown either
// covering the desktop or, for windowed play (host::PresentationOptions::windowWidth), in an
// ordinary resizable window; Alt+Enter switches between the two at any time. The program sees
// the same exclusive mode either way, and the mouse pointer it hides over its picture stays
// hidden only where the picture covers the screen.
#pragma once

#include <vector>

#include <SDL.h>

#include "platform/host/host.h"

namespace desktop {

struct SdlNativeWindow final : host::NativeWindow {
    SDL_Window* sdl = nullptr;
    bool hasGl = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    bool exclusive = false;  // the program holds exclusive mode on it
    bool fullscreen = false; // it covers the desktop (exclusive and not in windowed play)
};

class SdlWindowBackend final : public host::WindowBackend {
public:
    ~SdlWindowBackend() override;
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
    RECT DesktopRect() override;
    void SetMinimumClientSize(host::NativeWindow* native, int width, int height) override;
    void PumpEvents() override;
    void WaitEvents() override;
    std::unique_ptr<host::GlContext> CreateGlContext(host::NativeWindow* native,
                                                     std::string* failure) override;
    std::string ProbeGlRenderer() override;
    void ShowFrame(host::NativeWindow* native, const host::PresentedFrame& frame,
                   bool waitForRefresh) override;

    // Alt+Enter on a window in exclusive mode: between covering the desktop and windowed play.
    // False for any other window (the keys then go to the program).
    bool ToggleExclusivePresentation(SdlNativeWindow* window);

private:
    SdlNativeWindow* FindById(Uint32 windowId) const;
    void HandleWindowEvent(const SDL_WindowEvent& event, std::vector<Uint32>* placed);
    void HandleKeyEvent(const SDL_KeyboardEvent& event);
    void CoverDesktop(SdlNativeWindow* window);
    void ShowInPlayWindow(SdlNativeWindow* window);
    // The pointer is hidden when the program asks and the window it is over covers the screen.
    void ApplyCursor();

    std::vector<SdlNativeWindow*> windows_;
    bool cursorWanted_ = true;
    // Windowed play: whether exclusive windows show in a window, and that window's client size.
    bool playInWindow_ = false;
    int playWidth_ = 0;
    int playHeight_ = 0;
    bool playChosen_ = false; // the options were read
};

} // namespace desktop
