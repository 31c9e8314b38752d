// Showing a picture that lives in memory in a window without GL: through SDL's window surface
// (the X11 image path), placed by host::PlacePicture with the presentation options' scaling and
// filtering, black around it. This is how the software device and memory surfaces reach the
// screen (SdlWindowBackend::ShowFrame).
#pragma once

#include "platform/host/presentation.h"

struct SDL_Window;

namespace desktop {

// With `waitForRefresh` (a full-screen flip) the call paces itself to the display's refresh
// (refresh_pacing.h), as the window surface has no vertical sync of its own.
void ShowFrameInWindow(SDL_Window* window, const host::PresentedFrame& frame, bool waitForRefresh);

} // namespace desktop
