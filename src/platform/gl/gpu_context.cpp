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

std::vector<std::string> DescribeEglDevices(std::string* failure) {
    failure->clear();
    const std::vector<EGLDeviceEXT> devices = ListEglDevices(failure);
    std::vector<std::string> lines;
    for (size_t i = 0; i < devices.size(); ++i) {
        EGLDeviceEXT device = devices[i];
        std::string line =
            std::to_string(i + 1) + ": " + (IsSoftwareEglDevice(device) ? "software" : "GPU");
        if (HasEglExtension(eglQueryDeviceStringEXT(device, EGL_EXTENSIONS),
                            "EGL_EXT_device_drm")) {
            if (const char* node = eglQueryDeviceStringEXT(device, EGL_DRM_DEVICE_FILE_EXT)) {
                line += std::string(" ") + node;
            }
        }
        std::string why;
        EGLDisplay display = eglGetPlatformDisplayEXT(EGL_PLATFORM_DEVICE_EXT, device, nullptr);
        EGLint major = 0, minor = 0;
        EGLContext context = EGL_NO_CONTEXT;
        if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
            why = "its EGL display cannot be initialised";
        } else if ((context = CreateSurfacelessContext(display, &why)) != EGL_NO_CONTEXT) {
            SurfacelessContext owner(display, context);
            if (owner.MakeCurrent()) {
                const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
                line +=
                    ": " + CurrentRenderer() + ", OpenGL " + (version != nullptr ? version : "?");
            } else {
                why = "its context cannot be made current";
            }
        }
        lines.push_back(why.empty() ? line : line + ": cannot draw: " + why);
    }
    return lines;
}

} // namespace gl
