// Showing a picture that lives in memory in a window without GL: through SDL's window surface
// (the X11 image path), fitted with host::FitWithAspect and black borders. This is how the
// software device and memory surfaces reach the screen (SdlWindowBackend::ShowFrame).
#pragma once

#include "platform/host/presentation.h"

struct SDL_Window;

namespace desktop {

// With `waitForRefresh` the call sleeps until a display refresh period has passed since the
// previous picture (the window surface has no vertical sync of its own).
void ShowFrameInWindow(SDL_Window* window, const host::PresentedFrame& frame, bool waitForRefresh);

} // namespace desktop
