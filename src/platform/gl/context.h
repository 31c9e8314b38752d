// The offscreen OpenGL 3.3 core contexts of the GL backend: Mesa's software rasteriser through EGL
// device enumeration, without any surface (the software device). A window's own context comes
// from the window backend (host::WindowBackend::CreateGlContext); a GPU's from gpu_context.h.
#pragma once

#include <memory>
#include <string>

#include "platform/host/gl_context.h"

namespace gl {

// Mesa's software rasteriser, offscreen. Null (with a reason) when EGL offers no software
// device or no 3.3 core context.
std::unique_ptr<host::GlContext> CreateSoftwareContext(std::string* failure);

// The software renderer's string, for the device's name. It makes a context and destroys it
// again; empty when no context can be made.
std::string ProbeSoftwareRenderer();

// The GL_RENDERER string of the current context, whoever made it ("" without one).
std::string CurrentRenderer();

} // namespace gl
