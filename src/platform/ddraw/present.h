// Presentation: a flip or a blit to the primary surface shows a surface's picture. A surface a
// device renders into presents through the device (its SurfaceBacking); a frame that lives in
// memory (a plain surface, or the software device's read-back) goes to the host's frame sink and
// into the window through the window backend (host/presentation.h).
#pragma once

#include "platform/ddraw/surface.h"

namespace ddraw {

// Shows `frame` as the request says. DDERR_INVALIDPIXELFORMAT for a z-buffer.
HRESULT PresentSurface(Surface& frame, const PresentRequest& request);

// `rgba` is top row first, 4 bytes per pixel (red, green, blue, alpha). A picture drawn larger
// than its surface gives the surface's size as the mode size.
void PresentRgba(const PresentRequest& request, int width, int height, const BYTE* rgba, int pitch,
                 int modeWidth = 0, int modeHeight = 0);
// Only the frame sink's part (for frames that reach the window another way).
void DeliverToFrameSink(HWND window, int width, int height, const BYTE* rgba, int pitch,
                        int modeWidth = 0, int modeHeight = 0);

} // namespace ddraw
