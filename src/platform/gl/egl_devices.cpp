#include "platform/gl/egl_devices.h"

#include <epoxy/gl.h>

#include <cstring>

namespace gl {

bool HasEglExtension(const char* list, const char* name) {
    if (list == nullptr) {
        return false;
    }
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at != nullptr; at = std::strstr(at + 1, name)) {
        const bool startsWord = at == list || at[-1] == ' ';
        const bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord) {
            return true;
        }
    }
    return false;
}

std::vector<EGLDeviceEXT> ListEglDevices(std::string* failure) {
    constexpr EGLint DEVICE_LIMIT = 16;
    const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (!HasEglExtension(client, "EGL_EXT_device_enumeration") &&
        !HasEglExtension(client, "EGL_EXT_device_base")) {
        *failure = "EGL cannot enumerate devices";
        return {};
    }
    if (!HasEglExtension(client, "EGL_EXT_platform_device")) {
        *failure = "EGL has no device platform";
        return {};
    }
    std::vector<EGLDeviceEXT> devices(DEVICE_LIMIT);
    EGLint count = 0;
    if (!eglQueryDevicesEXT(DEVICE_LIMIT, devices.data(), &count) || count < 0) {
        count = 0;
    }
    devices.resize(size_t(count));
    return devices;
}

bool IsSoftwareEglDevice(EGLDeviceEXT device) {
    return HasEglExtension(eglQueryDeviceStringEXT(device, EGL_EXTENSIONS),
                           "EGL_MESA_device_software");
}

EGLContext CreateSurfacelessContext(EGLDisplay display, std::string* failure) {
    if (!eglBindAPI(EGL_OPENGL_API)) {
        *failure = "EGL offers no desktop OpenGL";
        return EGL_NO_CONTEXT;
    }
    const char* extensions = eglQueryString(display, EGL_EXTENSIONS);
    if (!HasEglExtension(extensions, "EGL_KHR_surfaceless_context")) {
        *failure = "EGL cannot make a context current without a surface";
        return EGL_NO_CONTEXT;
    }
    EGLConfig config = EGL_NO_CONFIG_KHR;
    if (!HasEglExtension(extensions, "EGL_KHR_no_config_context")) {
        const EGLint wanted[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_SURFACE_TYPE,
                                 EGL_DONT_CARE, EGL_NONE};
        EGLint count = 0;
        if (!eglChooseConfig(display, wanted, &config, 1, &count) || count == 0) {
            *failure = "EGL has no configuration for desktop OpenGL";
            return EGL_NO_CONTEXT;
        }
    }
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                 3,
                                 EGL_CONTEXT_MINOR_VERSION,
                                 3,
                                 EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                 EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, attributes);
    if (context == EGL_NO_CONTEXT) {
        *failure = "EGL cannot make a 3.3 core context";
    }
    return context;
}

SurfacelessContext::~SurfacelessContext() {
    if (eglGetCurrentContext() == context_) {
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    eglDestroyContext(display_, context_);
}

bool SurfacelessContext::MakeCurrent() {
    if (eglGetCurrentContext() == context_) {
        return true;
    }
    // EGL and a window context never stay current together: EGL's binding is dropped when a
    // window context is made current, and this one is made current again here.
    return eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_) == EGL_TRUE;
}

void SurfacelessContext::ReadRenderer() {
    renderer_ = CurrentRenderer();
}

} // namespace gl
