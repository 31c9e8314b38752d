// The mode-pixel view of a framebuffer larger than its surface (render_target.h): the surface's
// memory holds the framebuffer's picture at the surface's own size, and what the CPU writes into
// that memory goes back into the framebuffer.
//
// Each mode pixel covers a block of framebuffer pixels: columns BlockStart(x) up to
// BlockStart(x + 1), the same for rows counted from the bottom as GL counts them. Reading gives
// every mode pixel the rounded mean of its block (a box filter, as resolving samples is); writing
// fills the blocks of the pixels the CPU changed, and only those. So the memory always reads
// back exactly what was written to it, and every block the CPU did not touch keeps its detail:
// text drawn over the picture comes out as crisp blocks, the picture around it stays sharp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ddraw/surface.h"
#include "platform/gl/gl_api.h"

namespace gl {

// The first framebuffer column (or row) of mode column `i`; i = modeSize gives the end.
inline int BlockStart(int64_t i, int framebufferSize, int modeSize) {
    return int(i * framebufferSize / modeSize);
}

// The surface's memory from a framebuffer picture of width x height RGBA bytes, rows bottom-up:
// each surface pixel the rounded mean of its block, in the surface's pixel format.
void BoxAverage(const BYTE* rgba, int width, int height, ddraw::Surface& surface);

// The surface's memory rows, packed, into `copy`.
void RememberMemory(const ddraw::Surface& surface, std::vector<BYTE>& copy);

// The surface's picture as RGBA, rows bottom-up, with alpha 255 on the pixels that differ from
// `before` (a RememberMemory copy; null: every pixel) and 0 on the others. `changed` gets the
// changed pixels' bounding box (rows counted from the bottom). False when nothing changed.
bool MarkChanges(const ddraw::Surface& surface, const std::vector<BYTE>* before,
                 std::vector<BYTE>& rgba, RECT* changed);

// Writes the marked pixels of such a picture into a framebuffer as whole blocks: a small program
// that draws over the changed area and discards what is unmarked, so that it reaches every
// sample of a multisampled framebuffer too. Belongs to one context.
class BlockWriter {
public:
    BlockWriter() = default;
    BlockWriter(const BlockWriter&) = delete;
    BlockWriter& operator=(const BlockWriter&) = delete;
    // Deletes the GL objects; the context must be current.
    void Release();

    // Leaves GL's program, texture on unit 0, viewport, scissor, blending, depth test, culling
    // and polygon mode changed; the caller sets its own again. False when the program cannot be
    // made (the reason in `failure`).
    bool Write(GLuint framebuffer, int width, int height, int modeWidth, int modeHeight,
               const std::vector<BYTE>& rgba, const RECT& changed, std::string* failure);

private:
    GLuint program_ = 0;
    GLuint texture_ = 0;
    GLint modeSize_ = -1;
    GLint framebufferSize_ = -1;
    int textureWidth_ = 0;
    int textureHeight_ = 0;
};

} // namespace gl
