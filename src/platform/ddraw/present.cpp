// Presentation of frames that live in memory.
#include "platform/ddraw/present.h"

#include "platform/host/drivers.h"

namespace ddraw {

void PresentRgba(const PresentRequest& request, int width, int height, const BYTE* rgba,
                 int pitch) {
    const host::FrameSink& sink = host::GetFrameSink();
    if (sink) {
        host::PresentedFrame frame;
        frame.window = request.window;
        frame.width = width;
        frame.height = height;
        frame.pitch = pitch;
        frame.rgba = rgba;
        sink(frame);
    }
}

} // namespace ddraw
