// Pacing presentation to the display's refresh rate.
#include "platform/desktop/refresh_pacing.h"

#include <SDL.h>

namespace desktop {

void PaceToDisplayRefresh(SDL_Window* window) {
    static Uint64 last = 0;
    SDL_DisplayMode mode{};
    int refresh = 60;
    if (SDL_GetWindowDisplayMode(window, &mode) == 0 && mode.refresh_rate > 0) {
        refresh = mode.refresh_rate;
    }
    const Uint64 frequency = SDL_GetPerformanceFrequency();
    const Uint64 period = frequency / Uint64(refresh);
    const Uint64 now = SDL_GetPerformanceCounter();
    if (last != 0 && now - last < period) {
        SDL_Delay(static_cast<Uint32>((period - (now - last)) * 1000 / frequency));
    }
    last = SDL_GetPerformanceCounter();
}

} // namespace desktop
