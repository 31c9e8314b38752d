// A GPU through EGL device enumeration: every EGL device but Mesa's software one is tried in the
// order EGL lists them, on the device platform, with a surfaceless 3.3 core context.
#include <epoxy/egl.h>
#include <epoxy/gl.h>

#include "platform/gl/egl_devices.h"
#include "platform/gl/gpu_context.h"

namespace gl {

std::unique_ptr<host::GlContext> CreateGpuContext(std::string* failure) {
    failure->clear();
    const std::vector<EGLDeviceEXT> devices = ListEglDevices(failure);
    if (!failure->empty()) {
        return nullptr;
    }
    *failure = "EGL lists no GPU device";
    for (EGLDeviceEXT device : devices) {
        if (IsSoftwareEglDevice(device)) {
            continue;
        }
        EGLDisplay display = eglGetPlatformDisplayEXT(EGL_PLATFORM_DEVICE_EXT, device, nullptr);
        EGLint major = 0, minor = 0;
        if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
            *failure = "a GPU's EGL display cannot be initialised";
            continue;
        }
        EGLContext context = CreateSurfacelessContext(display, failure);
        if (context == EGL_NO_CONTEXT) {
            continue;
        }
        auto result = std::make_unique<SurfacelessContext>(display, context);
        if (!result->MakeCurrent()) {
            *failure = "the GPU's context cannot be made current";
            continue;
        }
        result->ReadRenderer();
        failure->clear();
        return result;
    }
    return nullptr;
}

} // namespace gl
