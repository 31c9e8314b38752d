// What the two offscreen contexts share: EGL's device list on the device platform and a
// surfaceless 3.3 core context made current without any window.
#pragma once

#include <epoxy/egl.h>

#include <string>
#include <vector>

#include "platform/gl/context.h"

namespace gl {

// Whether the space-separated extension list (may be null) holds `name` as a whole word.
bool HasEglExtension(const char* list, const char* name);

// The devices EGL enumerates (at most 16), or none with the reason when the client cannot
// enumerate devices or open displays on them.
std::vector<EGLDeviceEXT> ListEglDevices(std::string* failure);
bool IsSoftwareEglDevice(EGLDeviceEXT device);

// A 3.3 core context on an initialised display, or EGL_NO_CONTEXT with the reason.
EGLContext CreateSurfacelessContext(EGLDisplay display, std::string* failure);

// Owns a surfaceless context; it renders into framebuffer objects only.
class SurfacelessContext final : public host::GlContext {
public:
    SurfacelessContext(EGLDisplay display, EGLContext context)
        : display_(display), context_(context) {}
    ~SurfacelessContext() override;
    SurfacelessContext(const SurfacelessContext&) = delete;
    SurfacelessContext& operator=(const SurfacelessContext&) = delete;

    bool MakeCurrent() override;
    // Reads GL_RENDERER; the context must be current.
    void ReadRenderer();

private:
    EGLDisplay display_;
    EGLContext context_;
};

} // namespace gl
