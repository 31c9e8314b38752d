// Sections: the dialog's SDL window and ImGui context · its events · the modal loop.
#include "platform/desktop/imgui_dialog.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <SDL.h>
#include <imgui.h>
#include <imgui_impl_sdl.h>
#include <imgui_impl_sdlrenderer.h>

#include "platform/desktop/imgui_dialog_font.h"
#include "platform/desktop/imgui_dialog_painter.h"
#include "platform/desktop/sdl_keys.h"
#include "platform/desktop/sdl_window.h"
#include "platform/win32/dialog_interaction.h"
#include "platform/win32/message_queue.h"
#include "platform/win32/modal_message_pump.h"
#include "platform/win32/user.h"

namespace desktop {

namespace {

// Drawn at least this often while nothing happens, and waited for events at most this long.
constexpr Uint32 REDRAW_INTERVAL_MS = 250;
constexpr int EVENT_WAIT_MS = 100;
// How long a dialog that has ended waits at most for the keys to come up.
constexpr Uint32 KEY_RELEASE_WAIT_MS = 1000;
constexpr Uint32 KEY_RELEASE_POLL_MS = 10;

// The window an input or window event belongs to; 0 for other events.
Uint32 WindowOfEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_WINDOWEVENT:
        return event.window.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        return event.key.windowID;
    case SDL_TEXTEDITING:
        return event.edit.windowID;
    case SDL_TEXTINPUT:
        return event.text.windowID;
    case SDL_MOUSEMOTION:
        return event.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        return event.button.windowID;
    case SDL_MOUSEWHEEL:
        return event.wheel.windowID;
    default:
        return 0;
    }
}

} // namespace

// ---- The dialog's SDL window and ImGui context -------------------------------------------------
// The window is made for the first dialog and then kept, hidden between dialogs, until the
// presenter goes. SDL wakes a waiting event loop by sending an X event to a shown window, through
// a second connection to the X server; one sent to the dialog's window while it was up may reach
// the server only after a window destroyed on the main connection is gone, and the X error that
// follows ends the program. A window that is hidden and lives on takes such late events safely.
class DialogWindow {
public:
    DialogWindow() = default;
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;
    ~DialogWindow() {
        Hide();
        if (renderer_ != nullptr) {
            SDL_DestroyRenderer(renderer_);
        }
        if (window_ != nullptr) {
            SDL_DestroyWindow(window_);
        }
    }

    // Places the (hidden) window for a dialog and readies ImGui for it.
    bool Open(const RECT& outer, const char* title, const dialogs::DialogView& view) {
        const int width = std::max<int>(1, outer.right - outer.left);
        const int height = std::max<int>(1, outer.bottom - outer.top);
        if (window_ == nullptr && !Create(width, height)) {
            return false;
        }
        SDL_SetWindowTitle(window_, title);
        SDL_SetWindowSize(window_, width, height);
        SDL_SetWindowPosition(window_, outer.left, outer.top);
        if (SDL_Window* ownerWindow = SdlWindowOf(view.owner)) {
            SDL_SetWindowModalFor(window_, ownerWindow);
        }
        StartImGui(view);
        return true;
    }

    void Show() {
        SDL_ShowWindow(window_);
        SDL_RaiseWindow(window_);
        SDL_SetWindowInputFocus(window_);
    }

    void Render(const dialogs::DialogInteraction& interaction, POINT clientOrigin, bool border) {
        ImGui::SetCurrentContext(context_);
        ImGui_ImplSDLRenderer_NewFrame();
        ImGui_ImplSDL2_NewFrame();
        ImGui::NewFrame();
        int width = 0, height = 0;
        SDL_GetWindowSize(window_, &width, &height);
        DialogCanvas canvas;
        canvas.drawList = ImGui::GetBackgroundDrawList();
        canvas.font = font_;
        canvas.fontSize = fontPixels_;
        canvas.clientOrigin = clientOrigin;
        canvas.windowSize = SIZE{width, height};
        canvas.border = border;
        PaintDialog(interaction, canvas);
        ImGui::Render();
        SDL_RenderClear(renderer_);
        ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
        SDL_RenderPresent(renderer_);
    }

    // The key that ended the dialog (Enter, Escape, Space) is usually still down when the dialog
    // ends. Were the focus to go back to the program's window now, SDL would report that key
    // pressed there (it reconciles the keyboard whenever a window gains the focus), and the
    // Escape that cancelled the dialog would end the program too. So the dialog keeps the focus
    // until every key is up, for a moment at most.
    void WaitForKeysUp() {
        if (SDL_GetKeyboardFocus() != window_) {
            return;
        }
        const Uint32 start = SDL_GetTicks();
        while (SDL_GetTicks() - start < KEY_RELEASE_WAIT_MS) {
            SDL_PumpEvents();
            int count = 0;
            const Uint8* keys = SDL_GetKeyboardState(&count);
            if (keys == nullptr ||
                std::none_of(keys, keys + count, [](Uint8 down) { return down; })) {
                return;
            }
            SDL_Delay(KEY_RELEASE_POLL_MS);
        }
    }

    void ForwardToImGui(const SDL_Event& event) {
        ImGui::SetCurrentContext(context_);
        ImGui_ImplSDL2_ProcessEvent(&event);
    }

    Uint32 Id() const { return window_ != nullptr ? SDL_GetWindowID(window_) : 0; }

private:
    static int SDLCALL KeepUnlessOf(void* windowId, SDL_Event* event) {
        return WindowOfEvent(*event) == *static_cast<Uint32*>(windowId) ? 0 : 1;
    }

    static void Trace(const char* what) {
        std::string line = std::string("SDL: ") + what + ": " + SDL_GetError() + "\n";
        host::WriteDebugOutput(line.c_str());
    }

    void StartImGui(const dialogs::DialogView& view) {
        previousContext_ = ImGui::GetCurrentContext();
        context_ = ImGui::CreateContext();
        ImGui::SetCurrentContext(context_);
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr; // nothing of a dialog is remembered between runs
        io.LogFilename = nullptr;
        io.ConfigFlags |= ImGuiConfigFlags_NoMouseCursorChange; // the platform owns the cursor
        ImGui::StyleColorsClassic();
        ImGuiStyle& style = ImGui::GetStyle();
        // Bevels and frames are single pixels on the pixel grid.
        style.AntiAliasedLines = false;
        style.AntiAliasedLinesUseTex = false;
        style.AntiAliasedFill = false;

        const DialogFont font = fontLoader_.Load(io.Fonts, view);
        font_ = font.font;
        fontPixels_ = font.pixels;
        ImGui_ImplSDL2_InitForSDLRenderer(window_);
        ImGui_ImplSDLRenderer_Init(renderer_);
    }

    bool Create(int width, int height) {
        // SDL's software renderer draws into the window surface; that surface must be the window
        // system's own image, not a texture of a GL renderer (which would make a GL context).
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        window_ =
            SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                             SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR);
        if (window_ == nullptr) {
            Trace("dialog window");
            return false;
        }
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        if (renderer_ == nullptr) {
            Trace("dialog renderer");
            SDL_DestroyWindow(window_);
            window_ = nullptr;
            return false;
        }
        return true;
    }

    void StopImGui() {
        if (context_ == nullptr) {
            return;
        }
        ImGui::SetCurrentContext(context_);
        ImGui_ImplSDLRenderer_Shutdown();
        ImGui_ImplSDL2_Shutdown();
        ImGui::DestroyContext(context_);
        ImGui::SetCurrentContext(previousContext_);
        context_ = nullptr;
        font_ = nullptr;
    }

public:
    // Ends a dialog's showing: the window is hidden and ImGui's state for it goes.
    void Hide() {
        StopImGui();
        if (window_ == nullptr) {
            return;
        }
        // The window backend takes the queue's events after the dialog; a key of the dialog's
        // left there would go to whatever window has the focus by then (an Escape that
        // cancelled the dialog would end the program). The dialog has seen them all.
        Uint32 id = SDL_GetWindowID(window_);
        SDL_PumpEvents();
        SDL_FilterEvents(&DialogWindow::KeepUnlessOf, &id);
        SDL_HideWindow(window_);
        SDL_FilterEvents(&DialogWindow::KeepUnlessOf, &id);
    }

private:
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    ImGuiContext* context_ = nullptr;
    ImGuiContext* previousContext_ = nullptr;
    DialogFontLoader fontLoader_; // outlives the context, whose atlas reads its bytes
    ImFont* font_ = nullptr;
    float fontPixels_ = 0.0f;
};

namespace {

// ---- Its events --------------------------------------------------------------------------------
// The window backend takes SDL's events out of the queue and knows nothing of the dialog's
// window; a watch sees every event as it is queued and keeps the dialog's own.
class DialogEvents {
public:
    explicit DialogEvents(Uint32 windowId) : windowId_(windowId) {
        SDL_AddEventWatch(&DialogEvents::Watch, this);
    }
    ~DialogEvents() { SDL_DelEventWatch(&DialogEvents::Watch, this); }
    DialogEvents(const DialogEvents&) = delete;
    DialogEvents& operator=(const DialogEvents&) = delete;

    std::vector<SDL_Event> Take() {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<SDL_Event> taken;
        taken.swap(events_);
        return taken;
    }

private:
    static int SDLCALL Watch(void* self, SDL_Event* event) {
        auto* events = static_cast<DialogEvents*>(self);
        if (event != nullptr && events->windowId_ != 0 &&
            WindowOfEvent(*event) == events->windowId_) {
            std::lock_guard<std::mutex> lock(events->mutex_);
            events->events_.push_back(*event);
        }
        return 1;
    }

    Uint32 windowId_;
    std::mutex mutex_; // SDL may queue events from other threads
    std::vector<SDL_Event> events_;
};

void ShowArrowCursor() {
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

// One event of the dialog's window as user input; `origin` is the client area's corner.
void Apply(const SDL_Event& event, POINT origin, dialogs::DialogInteraction* interaction) {
    auto client = [&](int x, int y) { return POINT{x - origin.x, y - origin.y}; };
    switch (event.type) {
    case SDL_KEYDOWN:
        interaction->KeyDown(VirtualKeyFromSdl(event.key.keysym.sym),
                             (event.key.keysym.mod & KMOD_ALT) != 0,
                             (event.key.keysym.mod & KMOD_SHIFT) != 0);
        break;
    case SDL_KEYUP:
        interaction->KeyUp(VirtualKeyFromSdl(event.key.keysym.sym));
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT) {
            interaction->MouseDown(client(event.button.x, event.button.y));
        }
        break;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT) {
            interaction->MouseUp(client(event.button.x, event.button.y));
        }
        break;
    case SDL_MOUSEMOTION:
        ShowArrowCursor();
        interaction->MouseMove(client(event.motion.x, event.motion.y));
        break;
    case SDL_MOUSEWHEEL:
        interaction->Wheel(event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y
                                                                           : event.wheel.y);
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
            interaction->CloseRequested();
        } else if (event.window.event == SDL_WINDOWEVENT_ENTER) {
            ShowArrowCursor();
        }
        break;
    default:
        break;
    }
}

// A key message the program's disabled owner window received, as input to the dialog.
void ApplyOwnerKey(const MSG& message, dialogs::DialogInteraction* interaction) {
    const WORD key = static_cast<WORD>(message.wParam);
    const bool alt = (message.lParam & (1L << 29)) != 0;
    if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
        interaction->KeyDown(key, alt, IsKeyDown(VK_SHIFT));
    } else if (message.message == WM_KEYUP || message.message == WM_SYSKEYUP) {
        interaction->KeyUp(key);
    }
}

} // namespace

// ---- The modal loop ----------------------------------------------------------------------------
ImGuiDialogPresenter::ImGuiDialogPresenter() = default;
ImGuiDialogPresenter::~ImGuiDialogPresenter() = default;

bool ImGuiDialogPresenter::RunModal(HWND dialog, const DialogTemplate& dialogTemplate) {
    RECT outer{};
    POINT clientCorner{0, 0};
    if (!GetWindowRect(dialog, &outer) || !ClientToScreen(dialog, &clientCorner)) {
        return false;
    }
    const POINT origin{clientCorner.x - outer.left, clientCorner.y - outer.top};
    const bool border = (dialogTemplate.style & WS_BORDER) != 0;

    dialogs::DialogInteraction interaction(dialog);
    const HWND owner = interaction.View().owner;
    if (!window_) {
        window_ = std::make_unique<DialogWindow>();
    }
    DialogWindow* window = window_.get();
    if (!window->Open(outer, dialogTemplate.caption.c_str(), interaction.View())) {
        return false;
    }
    {
        DialogEvents events(window->Id());
        dialogs::ModalMessagePump pump(
            dialog, [&](const MSG& message) { ApplyOwnerKey(message, &interaction); });
        window->Show();
        bool dirty = true;
        Uint32 lastDrawn = 0;
        while (pump.DeliverWaiting()) {
            for (const SDL_Event& event : events.Take()) {
                window->ForwardToImGui(event);
                Apply(event, origin, &interaction);
                dirty = true;
            }
            if (interaction.Finished()) {
                break;
            }
            const Uint32 now = SDL_GetTicks();
            if (dirty || now - lastDrawn >= REDRAW_INTERVAL_MS) {
                interaction.Refresh(); // the program may have changed the controls meanwhile
                window->Render(interaction, origin, border);
                lastDrawn = now;
                dirty = false;
            }
            SDL_WaitEventTimeout(nullptr, EVENT_WAIT_MS);
        }
    } // held-back close and quit requests are posted again here
    window->WaitForKeysUp();
    window->Hide();
    if (SDL_Window* ownerWindow = SdlWindowOf(owner)) {
        SDL_SetWindowInputFocus(ownerWindow);
    }
    return true;
}

} // namespace desktop
