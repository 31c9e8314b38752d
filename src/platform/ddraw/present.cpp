// Presentation of frames that live in memory.
#include "platform/ddraw/present.h"

#include "platform/gl/window_surface.h"
#include "platform/host/drivers.h"

namespace ddraw {

void DeliverToFrameSink(HWND window, int width, int height, const BYTE* rgba, int pitch) {
    const host::FrameSink& sink = host::GetFrameSink();
    if (sink) {
        host::PresentedFrame frame;
        frame.window = window;
        frame.width = width;
        frame.height = height;
        frame.pitch = pitch;
        frame.rgba = rgba;
        sink(frame);
    }
}

void PresentRgba(const PresentRequest& request, int width, int height, const BYTE* rgba,
                 int pitch) {
    DeliverToFrameSink(request.window, width, height, rgba, pitch);
    gl::ShowRgbaInWindow(request.window, width, height, rgba, pitch, request.fullscreen);
}

} // namespace ddraw
