// Presentation of frames that live in memory (surfaces without a device backing them, and the
// read-back of the software device): to the host's frame sink and into the window.
#pragma once

#include "platform/ddraw/surface.h"

namespace ddraw {

// `rgba` is top row first, 4 bytes per pixel (red, green, blue, alpha).
void PresentRgba(const PresentRequest& request, int width, int height, const BYTE* rgba, int pitch);
// Only the frame sink's part (for frames that reach the window another way).
void DeliverToFrameSink(HWND window, int width, int height, const BYTE* rgba, int pitch);

} // namespace ddraw
