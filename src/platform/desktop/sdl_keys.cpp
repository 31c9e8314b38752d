#include "platform/desktop/sdl_keys.h"

#include "platform/win32/user.h"

namespace desktop {

namespace {

constexpr WORD VK_INSERT_KEY = 0x2D;
constexpr WORD VK_DELETE_KEY = 0x2E;
constexpr int FUNCTION_KEY_COUNT = 12;

} // namespace

WORD VirtualKeyFromSdl(SDL_Keycode key) {
    // Letters and digits: the platform's codes are the upper-case ASCII characters.
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<WORD>('A' + (key - SDLK_a));
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return static_cast<WORD>('0' + (key - SDLK_0));
    }
    if (key >= SDLK_F1 && key < SDLK_F1 + FUNCTION_KEY_COUNT) {
        return static_cast<WORD>(VK_F1 + (key - SDLK_F1));
    }
    switch (key) {
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_PAGEUP:
        return VK_PRIOR;
    case SDLK_PAGEDOWN:
        return VK_NEXT;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_END:
        return VK_END;
    case SDLK_INSERT:
        return VK_INSERT_KEY;
    case SDLK_DELETE:
        return VK_DELETE_KEY;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
        return VK_MENU;
    default:
        return 0;
    }
}

} // namespace desktop
