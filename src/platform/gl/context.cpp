// Mesa's software rasteriser through EGL: the device that carries EGL_MESA_device_software, on
// the device platform, with a surfaceless 3.3 core context.
#include <epoxy/egl.h>
#include <epoxy/gl.h>

#include <dlfcn.h>
#include <link.h>

#include <cstring>

#include "platform/gl/context.h"
#include "platform/gl/egl_devices.h"

namespace gl {

namespace {

// Keeps the GL driver loaded for the rest of the process. Another user of the same display
// (below) may terminate it, and Mesa then unloads the driver while memory the driver keeps for
// the process is still held; pinned, that memory stays attributable to the driver (leak checkers
// can tell it from the program's own) and a later initialisation finds the driver in place.
void PinLoadedDrivers() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            const char* name = info->dlpi_name;
            if (name != nullptr && (std::strstr(name, "_dri.so") != nullptr ||
                                    std::strstr(name, "libgallium") != nullptr)) {
                dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE); // never closed, on purpose
            }
            return 0;
        },
        nullptr);
}

// The display of the software device. EGL hands out one display per device, so others in the
// process (SDL's offscreen video driver takes the same device) share it, and their
// eglTerminate ends it for everyone: it is initialised again before each use (a no-op while it
// is still initialised).
EGLDisplay SoftwareDisplay(std::string* failure) {
    static EGLDisplay display = EGL_NO_DISPLAY;
    static std::string why;
    static bool tried = false;
    if (!tried) {
        tried = true;
        EGLDeviceEXT software = nullptr;
        for (EGLDeviceEXT device : ListEglDevices(&why)) {
            if (software == nullptr && IsSoftwareEglDevice(device)) {
                software = device;
            }
        }
        if (software == nullptr) {
            if (why.empty()) {
                why = "EGL lists no software device";
            }
        } else {
            display = eglGetPlatformDisplayEXT(EGL_PLATFORM_DEVICE_EXT, software, nullptr);
            if (display == EGL_NO_DISPLAY) {
                why = "the software device has no EGL display";
            }
        }
    }
    EGLint major = 0, minor = 0;
    if (display != EGL_NO_DISPLAY && !eglInitialize(display, &major, &minor)) {
        *failure = "the software device's EGL display cannot be initialised";
        return EGL_NO_DISPLAY;
    }
    static bool pinned = false;
    if (display != EGL_NO_DISPLAY && !pinned) {
        PinLoadedDrivers();
        pinned = true;
    }
    if (display == EGL_NO_DISPLAY) {
        *failure = why;
    }
    return display;
}

} // namespace

std::unique_ptr<host::GlContext> CreateSoftwareContext(std::string* failure) {
    EGLDisplay display = SoftwareDisplay(failure);
    if (display == EGL_NO_DISPLAY) {
        return nullptr;
    }
    EGLContext context = CreateSurfacelessContext(display, failure);
    if (context == EGL_NO_CONTEXT) {
        return nullptr;
    }
    auto result = std::make_unique<SurfacelessContext>(display, context);
    if (!result->MakeCurrent()) {
        *failure = "the software context cannot be made current";
        return nullptr;
    }
    result->ReadRenderer();
    return result;
}

std::string ProbeSoftwareRenderer() {
    std::string failure;
    std::unique_ptr<host::GlContext> context = CreateSoftwareContext(&failure);
    return context != nullptr ? context->Renderer() : std::string();
}

std::string CurrentRenderer() {
    const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return name != nullptr ? name : "";
}

} // namespace gl
