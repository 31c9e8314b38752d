// A picture from memory shown in a window through the window's GL context: uploaded to a texture
// and scaled into the default framebuffer with host::PlacePicture and black borders, as the GL
// device shows its own frames. For a window backend whose only way to the screen is GL (a
// browser's canvas, which has one WebGL context for everything); the desktop shows such pictures
// without GL.
//
// The context may be the one a device draws on, so the state the device relies on (bindings,
// scissor, colour mask) is put back afterwards.
#pragma once

#include "platform/host/gl_context.h"
#include "platform/host/presentation.h"

namespace gl {

class WindowPicture {
public:
    WindowPicture() = default;
    ~WindowPicture();
    WindowPicture(const WindowPicture&) = delete;
    WindowPicture& operator=(const WindowPicture&) = delete;

    // Shows `frame` in the window `context` draws into (the context is made current; with no
    // window to draw into, nothing happens). The caller shows the default framebuffer afterwards.
    // Every call must name the same context.
    void Show(host::GlContext& context, const host::PresentedFrame& frame);

private:
    host::GlContext* context_ = nullptr;
    unsigned texture_ = 0;
    unsigned framebuffer_ = 0;
};

} // namespace gl
