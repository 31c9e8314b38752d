// Showing a picture that lives in memory in a window without GL: through SDL's window surface
// (the X11 image path), scaled with its aspect kept and black borders. This is how the software
// device and memory surfaces reach the screen; headless windows have no SDL window and show
// nothing.
#pragma once

#include "platform/win32/types.h"

namespace gl {

// `rgba` is top row first, 4 bytes per pixel (red, green, blue, alpha). With `waitForRefresh`
// the call sleeps until a display refresh period has passed since the previous picture (the
// window surface has no vertical sync of its own), so a full-screen loop never outruns the
// display and never spins.
void ShowRgbaInWindow(HWND window, int width, int height, const BYTE* rgba, int pitch,
                      bool waitForRefresh);

} // namespace gl
