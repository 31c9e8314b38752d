// The presentation seam: where a finished picture goes, and how it is fitted to a window.
//
// A presented frame reaches the frame sink, when one is set (the capture tool, tests), and the
// window, through the window backend: a GL window context shows its own framebuffer
// (host::GlContext::Swap), any other picture comes from memory (WindowBackend::ShowFrame). Both
// ways place it the same way, PlacePicture, so a new scaling mode is made here for all of them.
// What the player chose (scaling, internal resolution, ...) is presentation_options.h.
#pragma once

#include <functional>

#include "platform/host/presentation_options.h"
#include "platform/win32/types.h"

namespace host {

// One presented frame: the back buffer as the device drew it, top row first, 4 bytes per pixel
// in the order red, green, blue, alpha (alpha 255). Its size is the back buffer's internal size:
// the mode's unless the presentation options draw the targets larger.
struct PresentedFrame {
    HWND window = nullptr; // the window it was presented to (may be a headless record)
    int width = 0;
    int height = 0;
    int pitch = 0;              // bytes from one row to the next
    const BYTE* rgba = nullptr; // valid only during the call
    // The back buffer's own size, in mode pixels, which placing the picture goes by (so that
    // integer scaling means whole multiples of mode pixels); 0 x 0: width x height.
    int modeWidth = 0;
    int modeHeight = 0;
};

using FrameSink = std::function<void(const PresentedFrame&)>;
// With a sink set, every Flip and every Blt to a primary surface reads the frame back and hands
// it to the sink, as well as showing it in the window when there is one. Null removes the sink.
void SetFrameSink(FrameSink sink);
const FrameSink& GetFrameSink();

// Where a picture goes in a larger or smaller area (top-left origin); the rest is black.
struct Letterbox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Centred, as large as fits with the aspect kept.
Letterbox FitWithAspect(int sourceWidth, int sourceHeight, int areaWidth, int areaHeight);
// By the scaling mode: fit as above; integer, the largest whole multiple that fits, centred (fit
// when even one does not); stretch, the whole area.
Letterbox PlacePicture(int sourceWidth, int sourceHeight, int areaWidth, int areaHeight,
                       Scaling scaling);
// A presented frame from memory in a window's area of areaWidth x areaHeight, placed by its mode
// pixels with the installed options' scaling.
Letterbox PlaceFrame(const PresentedFrame& frame, int areaWidth, int areaHeight);

// The size of the 3D targets for a mode of modeWidth x modeHeight: the mode's times the internal
// scale, or with native resolution the size the picture takes in an area of areaWidth x
// areaHeight placed by the options' scaling (0 x 0: the options' native area, else the mode's).
// Never smaller than the mode, so that every mode pixel has at least one pixel of its own.
struct TargetSize {
    int width = 0;
    int height = 0;
    bool operator==(const TargetSize&) const = default;
};
TargetSize InternalTargetSize(const PresentationOptions& options, int modeWidth, int modeHeight,
                              int areaWidth, int areaHeight);

} // namespace host
