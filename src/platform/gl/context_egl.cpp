// Mesa's software rasteriser through EGL: the device that carries EGL_MESA_device_software, on
// the device platform, with a surfaceless 3.3 core context.
#include <epoxy/egl.h>
#include <epoxy/gl.h>

#include <dlfcn.h>
#include <link.h>

#include <cstring>

#include "platform/gl/context.h"

namespace gl {

namespace {

bool HasExtension(const char* list, const char* name) {
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
        const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
        if (!HasExtension(client, "EGL_EXT_device_enumeration") &&
            !HasExtension(client, "EGL_EXT_device_base")) {
            why = "EGL cannot enumerate devices";
        } else if (!HasExtension(client, "EGL_EXT_platform_device")) {
            why = "EGL has no device platform";
        } else {
            EGLDeviceEXT devices[16];
            EGLint count = 0;
            if (!eglQueryDevicesEXT(16, devices, &count)) {
                count = 0;
            }
            EGLDeviceEXT software = nullptr;
            for (EGLint i = 0; i < count && software == nullptr; ++i) {
                if (HasExtension(eglQueryDeviceStringEXT(devices[i], EGL_EXTENSIONS),
                                 "EGL_MESA_device_software")) {
                    software = devices[i];
                }
            }
            if (software == nullptr) {
                why = "EGL lists no software device";
            } else {
                display = eglGetPlatformDisplayEXT(EGL_PLATFORM_DEVICE_EXT, software, nullptr);
                if (display == EGL_NO_DISPLAY) {
                    why = "the software device has no EGL display";
                }
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

class SoftwareContext final : public Context {
public:
    SoftwareContext(EGLDisplay display, EGLContext context)
        : display_(display), context_(context) {}
    ~SoftwareContext() override {
        if (eglGetCurrentContext() == context_) {
            eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        }
        eglDestroyContext(display_, context_);
    }

    bool MakeCurrent() override {
        if (eglGetCurrentContext() == context_) {
            return true;
        }
        // EGL and a window context never stay current together: EGL's binding is dropped when
        // a window context is made current, and this one is made current again here.
        return eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_) == EGL_TRUE;
    }

    void ReadRenderer() {
        const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        renderer_ = name != nullptr ? name : "";
    }

private:
    EGLDisplay display_;
    EGLContext context_;
};

} // namespace

std::unique_ptr<Context> CreateSoftwareContext(std::string* failure) {
    EGLDisplay display = SoftwareDisplay(failure);
    if (display == EGL_NO_DISPLAY) {
        return nullptr;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        *failure = "EGL offers no desktop OpenGL";
        return nullptr;
    }
    const char* extensions = eglQueryString(display, EGL_EXTENSIONS);
    if (!HasExtension(extensions, "EGL_KHR_surfaceless_context")) {
        *failure = "EGL cannot make a context current without a surface";
        return nullptr;
    }
    EGLConfig config = EGL_NO_CONFIG_KHR;
    if (!HasExtension(extensions, "EGL_KHR_no_config_context")) {
        const EGLint wanted[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_SURFACE_TYPE,
                                 EGL_DONT_CARE, EGL_NONE};
        EGLint count = 0;
        if (!eglChooseConfig(display, wanted, &config, 1, &count) || count == 0) {
            *failure = "EGL has no configuration for desktop OpenGL";
            return nullptr;
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
        return nullptr;
    }
    auto result = std::make_unique<SoftwareContext>(display, context);
    if (!result->MakeCurrent()) {
        *failure = "the software context cannot be made current";
        return nullptr;
    }
    result->ReadRenderer();
    return result;
}

std::string ProbeSoftwareRenderer() {
    std::string failure;
    std::unique_ptr<Context> context = CreateSoftwareContext(&failure);
    return context != nullptr ? context->Renderer() : std::string();
}

void Context::DrawableSize(int* width, int* height) const {
    *width = 0;
    *height = 0;
}

void Context::Swap(bool) {}

} // namespace gl
