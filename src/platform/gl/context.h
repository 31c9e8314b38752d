// OpenGL 3.3 core contexts for the 3D devices: the window's own context (the hardware-class
// device) and Mesa's software rasteriser through EGL device enumeration, without any surface
// (the software device). Both render into framebuffer objects; only a window context can also
// show its default framebuffer.
#pragma once

#include <memory>
#include <string>

#include "platform/win32/types.h"

namespace gl {

class Context {
public:
    virtual ~Context() = default;
    // Makes this context current on the calling thread (cheap when it already is).
    virtual bool MakeCurrent() = 0;
    // The GL_RENDERER string.
    const std::string& Renderer() const { return renderer_; }

    // Window contexts only: whether the context draws into this window, the size of its
    // default framebuffer, and showing it (with `waitForRefresh`, at the display's refresh).
    virtual bool DrawsInto(HWND) const { return false; }
    virtual void DrawableSize(int* width, int* height) const;
    virtual void Swap(bool waitForRefresh);

protected:
    std::string renderer_;
};

// Mesa's software rasteriser, offscreen. Null (with a reason) when EGL offers no software
// device or no 3.3 core context.
std::unique_ptr<Context> CreateSoftwareContext(std::string* failure);
// A context on the window's SDL window. Null (with a reason) when the window has no SDL window,
// was not made for GL, or no 3.3 core context can be had on it.
std::unique_ptr<Context> CreateWindowContext(HWND window, std::string* failure);

// Renderer strings for device names. They make a context and destroy it again; empty when no
// context can be made. The window probe needs SDL's video to be running already and uses a
// hidden window of its own.
std::string ProbeSoftwareRenderer();
std::string ProbeWindowRenderer();

} // namespace gl
