// The desktop host: SDL windows and events, SDL message boxes, the on-screen dialog.
#include "platform/desktop/desktop_host.h"

#include <cstring>
#include <string>

#include <SDL.h>

#include "platform/desktop/imgui_dialog.h"
#include "platform/desktop/sdl_message_box.h"
#include "platform/desktop/sdl_window_backend.h"
#include "platform/host/host.h"

namespace desktop {

namespace {

struct DesktopHost {
    SdlWindowBackend windows;
    SdlMessageBox messageBoxes;
    ImGuiDialogPresenter dialogs;
};

DesktopHost* installed = nullptr;

} // namespace

bool InstallDesktopHost() {
    if (installed != nullptr) {
        return true;
    }
    // The program decides when it ends (WM_CLOSE, WM_DESTROY, WM_QUIT), not SDL.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::string line = std::string("SDL: no video: ") + SDL_GetError() + "\n";
        host::WriteDebugOutput(line.c_str());
        return false;
    }
    // When no display answers, SDL settles for a driver that shows nothing. A run that asked for
    // one (SDL_VIDEODRIVER) gets it; otherwise that is no display, and the headless seams stay.
    const char* driver = SDL_GetCurrentVideoDriver();
    bool invisible = driver != nullptr &&
                     (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
    const char* requested = SDL_getenv("SDL_VIDEODRIVER");
    if (invisible && (requested == nullptr || requested[0] == '\0')) {
        host::WriteDebugOutput("SDL: no display answered\n");
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    installed = new DesktopHost;
    host::SetWindowBackend(&installed->windows);
    host::SetMessageBoxHandler(&installed->messageBoxes);
    // Only where someone can see it: on a driver that shows nothing (asked for, as offscreen
    // rendering tests do) or with no display at all, no dialog handler is set, DialogBoxParamA
    // fails at once and the run never waits for an answer nobody can give.
    if (!invisible) {
        host::SetDialogHandler(&installed->dialogs);
    }
    return true;
}

void UninstallDesktopHost() {
    if (installed == nullptr) {
        return;
    }
    host::SetDialogHandler(nullptr);
    host::SetMessageBoxHandler(nullptr);
    // Destroys the SDL windows that are left; their HWNDs stay records.
    host::SetWindowBackend(nullptr);
    delete installed;
    installed = nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_Quit();
}

} // namespace desktop
