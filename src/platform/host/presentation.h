// The presentation seam: where a finished picture goes, and how it is fitted to a window.
//
// A presented frame reaches the frame sink, when one is set (the capture tool, tests), and the
// window, through the window backend: a GL window context shows its own framebuffer
// (host::GlContext::Swap), any other picture comes from memory (WindowBackend::ShowFrame). Both
// ways fit it the same way, FitWithAspect, so a new scaling mode is made here for all of them.
#pragma once

#include <functional>

#include "platform/win32/types.h"

namespace host {

// One presented frame: the back buffer as the device drew it, top row first, 4 bytes per pixel
// in the order red, green, blue, alpha (alpha 255).
struct PresentedFrame {
    HWND window = nullptr; // the window it was presented to (may be a headless record)
    int width = 0;
    int height = 0;
    int pitch = 0;              // bytes from one row to the next
    const BYTE* rgba = nullptr; // valid only during the call
};

using FrameSink = std::function<void(const PresentedFrame&)>;
// With a sink set, every Flip and every Blt to a primary surface reads the frame back and hands
// it to the sink, as well as showing it in the window when there is one. Null removes the sink.
void SetFrameSink(FrameSink sink);
const FrameSink& GetFrameSink();

// Where a picture goes when it is shown scaled with its aspect kept in a larger or smaller area:
// centred, as large as fits, the rest black.
struct Letterbox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

Letterbox FitWithAspect(int sourceWidth, int sourceHeight, int areaWidth, int areaHeight);

} // namespace host
