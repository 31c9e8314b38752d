// A GPU through EGL device enumeration: every EGL device but Mesa's software one is tried in the
// order EGL lists them, on the device platform, with a surfaceless 3.3 core context.
#include <epoxy/egl.h>
#include <epoxy/gl.h>

#include <cstring>

#include "platform/gl/gpu_context.h"

namespace gl {

namespace {

constexpr EGLint GPU_DEVICE_LIMIT = 16;

bool HasWord(const char* list, const char* name) {
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

class GpuContext final : public Context {
public:
    GpuContext(EGLDisplay display, EGLContext context) : display_(display), context_(context) {}
    ~GpuContext() override {
        if (eglGetCurrentContext() == context_) {
            eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        }
        eglDestroyContext(display_, context_);
    }

    bool MakeCurrent() override {
        if (eglGetCurrentContext() == context_) {
            return true;
        }
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

// A context on one initialised display, or EGL_NO_CONTEXT with the reason.
EGLContext MakeContext(EGLDisplay display, std::string* failure) {
    if (!eglBindAPI(EGL_OPENGL_API)) {
        *failure = "EGL offers no desktop OpenGL";
        return EGL_NO_CONTEXT;
    }
    const char* extensions = eglQueryString(display, EGL_EXTENSIONS);
    if (!HasWord(extensions, "EGL_KHR_surfaceless_context")) {
        *failure = "EGL cannot make a context current without a surface";
        return EGL_NO_CONTEXT;
    }
    EGLConfig config = EGL_NO_CONFIG_KHR;
    if (!HasWord(extensions, "EGL_KHR_no_config_context")) {
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

} // namespace

std::unique_ptr<Context> CreateGpuContext(std::string* failure) {
    const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (!HasWord(client, "EGL_EXT_device_enumeration") && !HasWord(client, "EGL_EXT_device_base")) {
        *failure = "EGL cannot enumerate devices";
        return nullptr;
    }
    if (!HasWord(client, "EGL_EXT_platform_device")) {
        *failure = "EGL has no device platform";
        return nullptr;
    }
    EGLDeviceEXT devices[GPU_DEVICE_LIMIT];
    EGLint count = 0;
    if (!eglQueryDevicesEXT(GPU_DEVICE_LIMIT, devices, &count)) {
        count = 0;
    }
    *failure = "EGL lists no GPU device";
    for (EGLint i = 0; i < count; ++i) {
        if (HasWord(eglQueryDeviceStringEXT(devices[i], EGL_EXTENSIONS),
                    "EGL_MESA_device_software")) {
            continue;
        }
        EGLDisplay display = eglGetPlatformDisplayEXT(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr);
        EGLint major = 0, minor = 0;
        if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
            *failure = "a GPU's EGL display cannot be initialised";
            continue;
        }
        EGLContext context = MakeContext(display, failure);
        if (context == EGL_NO_CONTEXT) {
            continue;
        }
        auto result = std::make_unique<GpuContext>(display, context);
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
