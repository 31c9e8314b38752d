// Keeps full-screen presentation to the display's refresh rate where nothing else does: the SDL
// window surface has no vertical sync, and a GL swap interval may be accepted by a display that
// cannot honour it (Xvfb, software GL). Sleeps, never spins.
#pragma once

struct SDL_Window;

namespace desktop {

// Sleeps until one refresh period of the window's display has passed since the previous call.
// After a swap that already waited for the refresh it sleeps little or not at all.
void PaceToDisplayRefresh(SDL_Window* window);

} // namespace desktop
