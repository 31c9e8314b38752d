// The contract of an OpenGL context that a 3D device draws with. The GL backend (platform/gl/)
// draws through it and never asks how it was made: the window backend makes the one on a window
// (WindowBackend::CreateGlContext: SDL on the desktop, a canvas's WebGL 2 in a browser), the GL
// backend makes the offscreen ones itself (EGL). Every context renders into framebuffer objects;
// only a window context can also show its default framebuffer.
#pragma once

#include <string>

#include "platform/win32/types.h"

namespace host {

class GlContext {
public:
    virtual ~GlContext() = default;
    // Makes this context current on the calling thread (cheap when it already is). False when it
    // cannot be (its window is gone).
    virtual bool MakeCurrent() = 0;
    // The GL_RENDERER string.
    const std::string& Renderer() const { return renderer_; }

    // Window contexts only: whether the context draws into this window, the size of its
    // default framebuffer, and showing it (with `waitForRefresh`, at the display's refresh).
    virtual bool DrawsInto(HWND) const { return false; }
    virtual void DrawableSize(int* width, int* height) const { *width = *height = 0; }
    virtual void Swap(bool /*waitForRefresh*/) {}

protected:
    std::string renderer_;
};

} // namespace host
