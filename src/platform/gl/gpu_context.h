// A GPU's OpenGL 3.3 core context through EGL device enumeration, without any window or surface:
// the first EGL device that is not Mesa's software device. It renders into framebuffer objects
// only, like the software context; the capture tool draws the show on it offscreen.
#pragma once

#include <memory>
#include <string>

#include "platform/gl/context.h"

namespace gl {

// Null (with a reason) when EGL lists no GPU device or none of them gives a 3.3 core context.
std::unique_ptr<host::GlContext> CreateGpuContext(std::string* failure);

} // namespace gl
