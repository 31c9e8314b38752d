// Presentation of frames that live in memory.
#include "platform/ddraw/present.h"

#include "platform/host/host.h"
#include "platform/host/presentation.h"

namespace ddraw {

namespace {

host::PresentedFrame Frame(HWND window, int width, int height, const BYTE* rgba, int pitch) {
    host::PresentedFrame frame;
    frame.window = window;
    frame.width = width;
    frame.height = height;
    frame.pitch = pitch;
    frame.rgba = rgba;
    return frame;
}

} // namespace

void DeliverToFrameSink(HWND window, int width, int height, const BYTE* rgba, int pitch) {
    if (const host::FrameSink& sink = host::GetFrameSink()) {
        sink(Frame(window, width, height, rgba, pitch));
    }
}

void PresentRgba(const PresentRequest& request, int width, int height, const BYTE* rgba,
                 int pitch) {
    const host::PresentedFrame frame = Frame(request.window, width, height, rgba, pitch);
    if (const host::FrameSink& sink = host::GetFrameSink()) {
        sink(frame);
    }
    host::Windows().ShowFrame(host::NativeWindowOf(request.window), frame, request.fullscreen);
}

} // namespace ddraw
