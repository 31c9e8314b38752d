// Deferred deletion of GL objects.
#include "platform/gl/garbage.h"

namespace gl {

void GarbageBin::Empty() {
    if (!textures.empty()) {
        glDeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
        textures.clear();
    }
    if (!framebuffers.empty()) {
        glDeleteFramebuffers(static_cast<GLsizei>(framebuffers.size()), framebuffers.data());
        framebuffers.clear();
    }
    if (!renderbuffers.empty()) {
        glDeleteRenderbuffers(static_cast<GLsizei>(renderbuffers.size()), renderbuffers.data());
        renderbuffers.clear();
    }
}

} // namespace gl
