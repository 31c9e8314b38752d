// Pictures from memory into SDL window surfaces.
#include "platform/gl/window_surface.h"

#include <SDL.h>

#include "platform/desktop/sdl_window.h"
#include "platform/gl/letterbox.h"
#include "platform/gl/refresh_pacing.h"

namespace gl {

void ShowRgbaInWindow(HWND window, int width, int height, const BYTE* rgba, int pitch,
                      bool waitForRefresh) {
    SDL_Window* sdl = desktop::SdlWindowOf(window);
    if (sdl == nullptr || width <= 0 || height <= 0) {
        return;
    }
    // The window surface must be the window system's own image, not a texture of SDL's renderer
    // (which would make a GL context on a window the hardware device may be using).
    static bool hinted = false;
    if (!hinted) {
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        hinted = true;
    }
    SDL_Surface* screen = SDL_GetWindowSurface(sdl);
    if (screen == nullptr) {
        return;
    }
    SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<BYTE*>(rgba), width, height, 32, pitch, SDL_PIXELFORMAT_RGBA32);
    if (picture == nullptr) {
        return;
    }
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
    const Letterbox box = FitWithAspect(width, height, screen->w, screen->h);
    SDL_Rect area{box.x, box.y, box.width, box.height};
    SDL_BlitScaled(picture, nullptr, screen, &area);
    SDL_FreeSurface(picture);
    if (waitForRefresh) {
        PaceToDisplayRefresh(sdl);
    }
    SDL_UpdateWindowSurface(sdl);
}

} // namespace gl
