// The SDL window behind an HWND, for the graphics backend (platform code only).
#pragma once

#include "platform/win32/types.h"

struct SDL_Window;

namespace desktop {

// Null when the window has no SDL window (headless, a child or dialog, or a destroyed handle).
SDL_Window* SdlWindowOf(HWND window);
// Whether the SDL window was created for OpenGL and can take a GL context. A display without GL
// still gets a window, created without it; the graphics backend then renders elsewhere.
bool SdlWindowHasGl(HWND window);

} // namespace desktop
