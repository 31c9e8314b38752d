// A build without EGL (the browser's, on WebGL 2): no offscreen context can be had there, so the
// software and GPU devices fail to be made and say why, and only the window's own context (from
// the window backend) draws.
#include <string>

#include "platform/gl/context.h"
#include "platform/gl/gl_api.h"
#include "platform/gl/gpu_context.h"

namespace gl {

namespace {

constexpr const char* NO_EGL = "this build has no EGL: only the window's own context draws";

} // namespace

std::unique_ptr<host::GlContext> CreateSoftwareContext(std::string* failure) {
    *failure = NO_EGL;
    return nullptr;
}

std::string ProbeSoftwareRenderer() {
    return std::string();
}

std::string CurrentRenderer() {
    const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return name != nullptr ? name : "";
}

std::unique_ptr<host::GlContext> CreateGpuContext(std::string* failure) {
    *failure = NO_EGL;
    return nullptr;
}

} // namespace gl
