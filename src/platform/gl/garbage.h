// GL objects that belong to a context but are let go of while another context may be current
// (a texture surface released by the program between frames). They are collected here and
// deleted the next time the owning context is current. When the context is gone, its objects
// went with it and the bin is gone too, which holders see through their weak pointers.
#pragma once

#include "platform/gl/gl_api.h"

#include <memory>
#include <vector>

namespace gl {

struct GarbageBin {
    std::vector<GLuint> textures;
    std::vector<GLuint> framebuffers;
    std::vector<GLuint> renderbuffers;

    // Deletes what was collected; the owning context must be current.
    void Empty();
};

using GarbageLink = std::weak_ptr<GarbageBin>;

} // namespace gl
