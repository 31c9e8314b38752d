// A GPU's OpenGL 3.3 core context through EGL device enumeration, without any window or surface:
// the first EGL device that is not Mesa's software device. It renders into framebuffer objects
// only, like the software context; the capture tool draws the show on it offscreen.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/gl/context.h"

namespace gl {

// Null (with a reason) when EGL lists no GPU device or none of them gives a 3.3 core context.
std::unique_ptr<host::GlContext> CreateGpuContext(std::string* failure);

// One line for each device EGL lists, in its order: GPU or software, its DRM node where EGL
// names one, and what a 3.3 core context on it reports (renderer and version), or why none can
// be made. Empty with the reason when EGL cannot list devices. For finding out, on a machine
// with a GPU, what the capture tool's device choice has to go by.
std::vector<std::string> DescribeEglDevices(std::string* failure);

} // namespace gl
