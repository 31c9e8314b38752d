// Pacing presentation to the display's refresh rate and the frame cap.
#include "platform/desktop/refresh_pacing.h"

#include <algorithm>

#include <SDL.h>

#include "platform/host/presentation_options.h"

namespace desktop {

bool WaitsForRefresh(bool waitForRefresh) {
    return waitForRefresh && host::GetPresentationOptions().vsync;
}

void PacePresentation(SDL_Window* window, bool waitForRefresh) {
    static Uint64 last = 0;
    const Uint64 frequency = SDL_GetPerformanceFrequency();
    Uint64 period = 0;
    if (WaitsForRefresh(waitForRefresh)) {
        SDL_DisplayMode mode{};
        int refresh = 60;
        if (SDL_GetWindowDisplayMode(window, &mode) == 0 && mode.refresh_rate > 0) {
            refresh = mode.refresh_rate;
        }
        period = frequency / Uint64(refresh);
    }
    if (const int cap = host::GetPresentationOptions().frameCap; cap > 0) {
        period = std::max(period, frequency / Uint64(cap));
    }
    const Uint64 now = SDL_GetPerformanceCounter();
    if (period != 0 && last != 0 && now - last < period) {
        // Rounded up to whole milliseconds: a cap is never exceeded.
        SDL_Delay(
            static_cast<Uint32>(((period - (now - last)) * 1000 + frequency - 1) / frequency));
    }
    last = SDL_GetPerformanceCounter();
}

} // namespace desktop
