// Streaming vertex and index data.
#include "platform/gl/stream_buffer.h"

namespace gl {

StreamBuffer::StreamBuffer(GLenum target, size_t capacity) : target_(target), capacity_(capacity) {
    glGenBuffers(1, &name_);
    glBindBuffer(target_, name_);
    glBufferData(target_, static_cast<GLsizeiptr>(capacity_), nullptr, GL_STREAM_DRAW);
}

StreamBuffer::~StreamBuffer() {
    glDeleteBuffers(1, &name_);
}

GLintptr StreamBuffer::Append(const void* data, size_t bytes, size_t alignment) {
    size_t offset = (used_ + alignment - 1) / alignment * alignment;
    if (offset + bytes > capacity_) {
        // Bigger than ever before: grow once (draws are bounded, so this settles quickly).
        while (bytes > capacity_) {
            capacity_ *= 2;
        }
        glBufferData(target_, static_cast<GLsizeiptr>(capacity_), nullptr, GL_STREAM_DRAW);
        offset = 0;
    }
    glBufferSubData(target_, static_cast<GLintptr>(offset), static_cast<GLsizeiptr>(bytes), data);
    used_ = offset + bytes;
    return static_cast<GLintptr>(offset);
}

} // namespace gl
