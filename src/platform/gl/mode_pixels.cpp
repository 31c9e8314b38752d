// Mode pixels of a larger framebuffer: box-averaged reading, change marking, block writing.
#include "platform/gl/mode_pixels.h"

#include <algorithm>
#include <cstring>

#include "platform/ddraw/rgba_pixels.h"
#include "platform/gl/shader.h"

namespace gl {

namespace {

// One triangle over the whole framebuffer (the scissor keeps it to the changed area).
constexpr const char* BLOCK_VERTEX_SHADER_BODY = R"(
void main() {
    vec2 corner = vec2(float((gl_VertexID << 1) & 2), float(gl_VertexID & 2));
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
)";

// The mode pixel whose block holds this framebuffer pixel: the last i with BlockStart(i) <= p.
// ES: integers and the sampler at full precision (block arithmetic at 4K passes 2^16).
constexpr const char* BLOCK_FRAGMENT_SHADER_BODY = R"(
uniform highp sampler2D uPixels;
uniform ivec2 uModeSize;
uniform ivec2 uFramebufferSize;
out vec4 fragColor;
void main() {
    ivec2 p = ivec2(gl_FragCoord.xy);
    ivec2 m = ((p + 1) * uModeSize - 1) / uFramebufferSize;
    vec4 texel = texelFetch(uPixels, m, 0);
    if (texel.a < 0.5) discard;
    fragColor = vec4(texel.rgb, 1.0);
}
)";

} // namespace

void BoxAverage(const BYTE* rgba, int width, int height, ddraw::Surface& surface) {
    const ddraw::PixelLayout& layout = surface.Layout();
    const int modeWidth = surface.Width(), modeHeight = surface.Height();
    const bool rgb565 = ddraw::IsRgb565(layout);
    const bool xrgb8888 = ddraw::IsXrgb8888(layout);
    const size_t rowBytes = size_t(width) * 4;
    for (int my = 0; my < modeHeight; ++my) {
        const int y0 = BlockStart(my, height, modeHeight);
        const int y1 = BlockStart(my + 1, height, modeHeight);
        // GL's row `my` from the bottom is the surface's row counted from the top.
        BYTE* out = surface.Pixels() + size_t(modeHeight - 1 - my) * size_t(surface.Pitch());
        for (int mx = 0; mx < modeWidth; ++mx) {
            const int x0 = BlockStart(mx, width, modeWidth);
            const int x1 = BlockStart(mx + 1, width, modeWidth);
            unsigned sum[3] = {0, 0, 0};
            for (int y = y0; y < y1; ++y) {
                const BYTE* p = rgba + size_t(y) * rowBytes + size_t(x0) * 4;
                for (int x = x0; x < x1; ++x, p += 4) {
                    sum[0] += p[0];
                    sum[1] += p[1];
                    sum[2] += p[2];
                }
            }
            const unsigned count = unsigned((y1 - y0) * (x1 - x0));
            const unsigned r = (sum[0] + count / 2) / count;
            const unsigned g = (sum[1] + count / 2) / count;
            const unsigned b = (sum[2] + count / 2) / count;
            BYTE* pixel = out + size_t(mx) * size_t(layout.bytesPerPixel);
            if (rgb565) {
                const unsigned raw = ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
                pixel[0] = BYTE(raw);
                pixel[1] = BYTE(raw >> 8);
            } else if (xrgb8888) {
                pixel[0] = BYTE(b);
                pixel[1] = BYTE(g);
                pixel[2] = BYTE(r);
                pixel[3] = 0xFF;
            } else {
                ddraw::WritePixel(layout, pixel, 0xFF000000u | r << 16 | g << 8 | b);
            }
        }
    }
}

void RememberMemory(const ddraw::Surface& surface, std::vector<BYTE>& copy) {
    const size_t rowBytes = size_t(surface.Width()) * size_t(surface.Layout().bytesPerPixel);
    copy.resize(rowBytes * size_t(surface.Height()));
    for (int y = 0; y < surface.Height(); ++y) {
        std::memcpy(copy.data() + size_t(y) * rowBytes,
                    surface.Pixels() + size_t(y) * size_t(surface.Pitch()), rowBytes);
    }
}

bool MarkChanges(const ddraw::Surface& surface, const std::vector<BYTE>* before,
                 std::vector<BYTE>& rgba, RECT* changed) {
    const int width = surface.Width(), height = surface.Height();
    const size_t bytes = size_t(surface.Layout().bytesPerPixel);
    const size_t rowBytes = size_t(width) * bytes;
    if (before != nullptr && before->size() != rowBytes * size_t(height)) {
        before = nullptr;
    }
    ddraw::SurfaceToRgba(surface, ddraw::AlphaRule::OPAQUE, ddraw::RowOrder::BOTTOM_UP, rgba);
    RECT box{width, height, 0, 0};
    for (int y = 0; y < height; ++y) {
        const BYTE* now = surface.Pixels() + size_t(y) * size_t(surface.Pitch());
        const BYTE* was = before != nullptr ? before->data() + size_t(y) * rowBytes : nullptr;
        const int glRow = height - 1 - y;
        BYTE* out = rgba.data() + size_t(glRow) * size_t(width) * 4;
        if (was != nullptr && std::memcmp(now, was, rowBytes) == 0) {
            for (int x = 0; x < width; ++x) {
                out[4 * x + 3] = 0;
            }
            continue;
        }
        for (int x = 0; x < width; ++x) {
            const bool differs =
                was == nullptr || std::memcmp(now + x * bytes, was + x * bytes, bytes) != 0;
            out[4 * x + 3] = differs ? 0xFF : 0;
            if (differs) {
                box.left = std::min<LONG>(box.left, x);
                box.right = std::max<LONG>(box.right, x + 1);
                box.top = std::min<LONG>(box.top, glRow);
                box.bottom = std::max<LONG>(box.bottom, glRow + 1);
            }
        }
    }
    *changed = box;
    return box.left < box.right;
}

void BlockWriter::Release() {
    if (program_ != 0) {
        glDeleteProgram(program_);
        program_ = 0;
    }
    if (texture_ != 0) {
        glDeleteTextures(1, &texture_);
        texture_ = 0;
    }
}

bool BlockWriter::Write(GLuint framebuffer, int width, int height, int modeWidth, int modeHeight,
                        const std::vector<BYTE>& rgba, const RECT& changed, std::string* failure) {
    if (program_ == 0) {
        program_ = LinkProgram(Preamble() + BLOCK_VERTEX_SHADER_BODY,
                               Preamble() + "precision highp int;\n" + BLOCK_FRAGMENT_SHADER_BODY,
                               failure);
        if (program_ == 0) {
            return false;
        }
        modeSize_ = glGetUniformLocation(program_, "uModeSize");
        framebufferSize_ = glGetUniformLocation(program_, "uFramebufferSize");
        glGenTextures(1, &texture_);
    }
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    if (textureWidth_ != modeWidth || textureHeight_ != modeHeight) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, modeWidth, modeHeight, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, rgba.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        textureWidth_ = modeWidth;
        textureHeight_ = modeHeight;
    } else {
        // Only the rows that hold changes.
        const size_t rowBytes = size_t(modeWidth) * 4;
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, changed.top, modeWidth, changed.bottom - changed.top,
                        GL_RGBA, GL_UNSIGNED_BYTE, rgba.data() + size_t(changed.top) * rowBytes);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, width, height);
    const int x0 = BlockStart(changed.left, width, modeWidth);
    const int x1 = BlockStart(changed.right, width, modeWidth);
    const int y0 = BlockStart(changed.top, height, modeHeight);
    const int y1 = BlockStart(changed.bottom, height, modeHeight);
    glEnable(GL_SCISSOR_TEST);
    glScissor(x0, y0, x1 - x0, y1 - y0);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
#if !defined(LUMENFALL_GLES) // ES always fills
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
#endif
    glUseProgram(program_);
    glUniform2i(modeSize_, modeWidth, modeHeight);
    glUniform2i(framebufferSize_, width, height);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    return true;
}

} // namespace gl
