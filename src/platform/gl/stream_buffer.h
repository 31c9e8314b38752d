// A buffer that vertices and indices stream through from the caller's system-memory arrays:
// each draw appends its data after the previous draw's, and when the buffer is full it is
// orphaned (GL hands out fresh storage while earlier draws still read the old) and filling starts
// over. No memory is allocated per draw.
#pragma once

#include "platform/gl/gl_api.h"

#include <cstddef>

namespace gl {

class StreamBuffer {
public:
    // Makes the buffer and binds it to `target` (the context must be current; for index buffers
    // the vertex array object that should own the binding must be bound).
    StreamBuffer(GLenum target, size_t capacity);
    ~StreamBuffer();
    StreamBuffer(const StreamBuffer&) = delete;
    StreamBuffer& operator=(const StreamBuffer&) = delete;

    // Copies the bytes in at an offset that is a multiple of `alignment` and answers the offset.
    // The buffer must be bound to its target.
    GLintptr Append(const void* data, size_t bytes, size_t alignment);

private:
    GLenum target_;
    GLuint name_ = 0;
    size_t capacity_;
    size_t used_ = 0;
};

} // namespace gl
