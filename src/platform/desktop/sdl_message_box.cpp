#include "platform/desktop/sdl_message_box.h"

#include <cstdio>
#include <string>

#include <SDL.h>

#include "platform/desktop/sdl_window.h"
#include "platform/win32/user.h"

namespace desktop {

namespace {

constexpr UINT MB_TYPE_MASK = 0x0F;
constexpr UINT MB_ICON_MASK = 0xF0;

Uint32 IconFlags(UINT type) {
    switch (type & MB_ICON_MASK) {
    case MB_ICONHAND:
        return SDL_MESSAGEBOX_ERROR;
    case MB_ICONWARNING:
        return SDL_MESSAGEBOX_WARNING;
    default:
        return SDL_MESSAGEBOX_INFORMATION;
    }
}

} // namespace

int SdlMessageBox::Show(HWND owner, const char* text, const char* caption, UINT type) {
    // The text goes to standard error in every case, so that a run leaves a trace of it.
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);

    bool okCancel = (type & MB_TYPE_MASK) == MB_OKCANCEL;
    const Uint32 both =
        SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    SDL_MessageBoxButtonData okOnly[] = {{both, IDOK, "OK"}};
    SDL_MessageBoxButtonData okAndCancel[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDOK, "OK"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL, "Cancel"},
    };
    SDL_MessageBoxData box{};
    box.flags = IconFlags(type);
    box.window = SdlWindowOf(owner);
    box.title = caption;
    box.message = text;
    box.numbuttons = okCancel ? 2 : 1;
    box.buttons = okCancel ? okAndCancel : okOnly;
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0) {
        std::string line = std::string("SDL: message box: ") + SDL_GetError() + "\n";
        host::WriteDebugOutput(line.c_str());
        return IDOK; // no box could be shown: the text is on standard error already
    }
    // Closing the box without a button is the platform's cancel, or OK for a box with only OK.
    if (pressed < 0) {
        return okCancel ? IDCANCEL : IDOK;
    }
    return pressed;
}

} // namespace desktop
