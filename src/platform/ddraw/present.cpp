// Presentation of frames that live in memory.
#include "platform/ddraw/present.h"

#include <vector>

#include "platform/ddraw/rgba_pixels.h"
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

HRESULT PresentSurface(Surface& frame, const PresentRequest& request) {
    if (SurfaceBacking* backing = frame.Backing()) {
        return backing->Present(frame, request);
    }
    if (frame.Layout().depth) {
        return DDERR_INVALIDPIXELFORMAT;
    }
    // One buffer for all memory presentation, so that presenting allocates only when the frame
    // size grows.
    static std::vector<BYTE> rgba;
    SurfaceToRgba(frame, AlphaRule::OPAQUE, RowOrder::TOP_DOWN, rgba);
    PresentRgba(request, frame.Width(), frame.Height(), rgba.data(), frame.Width() * 4);
    return DD_OK;
}

void DeliverToFrameSink(HWND window, int width, int height, const BYTE* rgba, int pitch,
                        int modeWidth, int modeHeight) {
    if (const host::FrameSink& sink = host::GetFrameSink()) {
        host::PresentedFrame frame = Frame(window, width, height, rgba, pitch);
        frame.modeWidth = modeWidth;
        frame.modeHeight = modeHeight;
        sink(frame);
    }
}

void PresentRgba(const PresentRequest& request, int width, int height, const BYTE* rgba, int pitch,
                 int modeWidth, int modeHeight) {
    host::PresentedFrame frame = Frame(request.window, width, height, rgba, pitch);
    frame.modeWidth = modeWidth;
    frame.modeHeight = modeHeight;
    if (const host::FrameSink& sink = host::GetFrameSink()) {
        sink(frame);
    }
    host::Windows().ShowFrame(host::NativeWindowOf(request.window), frame, request.fullscreen);
}

} // namespace ddraw
