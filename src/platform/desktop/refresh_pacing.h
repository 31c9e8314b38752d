// Keeps presentation to the display's refresh rate where nothing else does, and to the player's
// frame cap: the SDL window surface has no vertical sync, and a GL swap interval may be accepted
// by a display that cannot honour it (Xvfb, software GL). Sleeps, never spins.
#pragma once

struct SDL_Window;

namespace desktop {

// After a picture was shown: with `waitForRefresh` (a full-screen flip) and vertical sync on in
// the presentation options, sleeps until one refresh period of the window's display has passed
// since the previous picture (after a swap that already waited, little or not at all); with a
// frame cap, until 1/cap s has. The longer of the two.
void PacePresentation(SDL_Window* window, bool waitForRefresh);

// Whether a flip should wait for the display's refresh: it asks to, and vertical sync is on.
bool WaitsForRefresh(bool waitForRefresh);

} // namespace desktop
