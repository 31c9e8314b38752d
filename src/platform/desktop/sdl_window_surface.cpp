// Pictures from memory into SDL window surfaces.
#include "platform/desktop/sdl_window_surface.h"

#include <SDL.h>

#include "platform/desktop/refresh_pacing.h"

namespace desktop {

namespace {

// Scales `picture` into `area` of `screen` smoothly: SDL's linear stretch wants both in one
// 32-bit format, so the picture is converted to the screen's first.
void StretchLinear(SDL_Surface* picture, SDL_Surface* screen, SDL_Rect* area) {
    SDL_Surface* converted = SDL_ConvertSurface(picture, screen->format, 0);
    if (converted == nullptr || SDL_SoftStretchLinear(converted, nullptr, screen, area) != 0) {
        SDL_BlitScaled(picture, nullptr, screen, area); // nearest rather than nothing
    }
    SDL_FreeSurface(converted);
}

} // namespace

void ShowFrameInWindow(SDL_Window* sdl, const host::PresentedFrame& frame, bool waitForRefresh) {
    if (sdl == nullptr || frame.width <= 0 || frame.height <= 0) {
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
    SDL_Surface* picture =
        SDL_CreateRGBSurfaceWithFormatFrom(const_cast<BYTE*>(frame.rgba), frame.width, frame.height,
                                           32, frame.pitch, SDL_PIXELFORMAT_RGBA32);
    if (picture == nullptr) {
        return;
    }
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
    const host::PresentationOptions& options = host::GetPresentationOptions();
    const host::Letterbox box = host::PlaceFrame(frame, screen->w, screen->h);
    SDL_Rect area{box.x, box.y, box.width, box.height};
    const bool sameSize = box.width == frame.width && box.height == frame.height;
    if (options.filtering == host::Filtering::LINEAR && !sameSize) {
        StretchLinear(picture, screen, &area);
    } else {
        SDL_BlitScaled(picture, nullptr, screen, &area);
    }
    SDL_FreeSurface(picture);
    PacePresentation(sdl, waitForRefresh);
    SDL_UpdateWindowSurface(sdl);
}

} // namespace desktop
