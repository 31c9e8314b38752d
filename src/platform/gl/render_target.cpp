// Framebuffers for render-target surfaces.
#include "platform/gl/render_target.h"

#include <algorithm>
#include <cstring>

#include "platform/ddraw/rgba_pixels.h"

namespace gl {

namespace {

// Formats moved between surface memory and the framebuffer as they are. ES reads back only RGBA
// bytes and uploads no BGRA, so there everything but RGB565 uploads goes through RGBA.
bool ReadsAsItIs(const ddraw::PixelLayout& layout) {
    return !GL_IS_ES && (ddraw::IsRgb565(layout) || ddraw::IsXrgb8888(layout));
}

bool WritesAsItIs(const ddraw::PixelLayout& layout) {
    return ddraw::IsRgb565(layout) || (!GL_IS_ES && ddraw::IsXrgb8888(layout));
}

// RGBA bytes to RGB in place: the one upload format that every colour texture takes, on ES too
// (ES matches formats strictly and puts no RGBA into RGB textures).
void DropAlpha(std::vector<BYTE>& rgba) {
    const size_t pixels = rgba.size() / 4;
    for (size_t i = 0; i < pixels; ++i) {
        std::memmove(rgba.data() + i * 3, rgba.data() + i * 4, 3);
    }
    rgba.resize(pixels * 3);
}

// Copies rows from `from` (rowBytes apart) to `to` (pitch apart), last row first.
void CopyFlipped(const BYTE* from, size_t rowBytes, BYTE* to, size_t pitch, int rows) {
    for (int y = 0; y < rows; ++y) {
        std::memcpy(to + size_t(y) * pitch, from + size_t(rows - 1 - y) * rowBytes, rowBytes);
    }
}

} // namespace

RenderTarget::RenderTarget(GarbageLink bin, std::weak_ptr<std::vector<ddraw::Surface*>> registry,
                           ddraw::Surface* surface)
    : bin_(std::move(bin)), registry_(std::move(registry)), surface_(surface) {}

RenderTarget::~RenderTarget() {
    if (auto registry = registry_.lock()) {
        registry->erase(std::remove(registry->begin(), registry->end(), surface_), registry->end());
    }
    if (auto bin = bin_.lock()) {
        if (framebuffer_ != 0) {
            bin->framebuffers.push_back(framebuffer_);
        }
        if (colour_ != 0) {
            bin->textures.push_back(colour_);
        }
        if (depth_ != 0) {
            bin->renderbuffers.push_back(depth_);
        }
    }
}

bool RenderTarget::Prepare(ddraw::Surface& surface) {
    const ddraw::Surface* z = surface.AttachedZBuffer();
    const DWORD depthBits = z != nullptr ? ddraw::BitsPerPixel(z->Desc().ddpfPixelFormat) : 0;
    const int bytes = surface.Layout().bytesPerPixel;
    const bool sameColour = colour_ != 0 && width_ == surface.Width() &&
                            height_ == surface.Height() && colourBytes_ == bytes;
    if (sameColour && depthBits == depthBits_) {
        return true;
    }
    if (framebuffer_ == 0) {
        glGenFramebuffers(1, &framebuffer_);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    if (!sameColour) {
        if (colour_ != 0) {
            glDeleteTextures(1, &colour_);
        }
        width_ = surface.Width();
        height_ = surface.Height();
        colourBytes_ = bytes;
        glGenTextures(1, &colour_);
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_2D, colour_);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        if (bytes == 2) {
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB565, width_, height_, 0, GL_RGB,
                         GL_UNSIGNED_SHORT_5_6_5, nullptr);
        } else {
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width_, height_, 0, GL_RGB, GL_UNSIGNED_BYTE,
                         nullptr);
        }
        glBindTexture(GL_TEXTURE_2D, 0);
        glActiveTexture(GL_TEXTURE0);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour_, 0);
    }
    if (depth_ != 0 && (depthBits != depthBits_ || !sameColour)) {
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, 0);
        glDeleteRenderbuffers(1, &depth_);
        depth_ = 0;
    }
    depthBits_ = depthBits;
    if (depthBits != 0 && depth_ == 0) {
        // 24 bits is the most a depth renderbuffer is sure to have; 32-bit z-buffers get that.
        glGenRenderbuffers(1, &depth_);
        glBindRenderbuffer(GL_RENDERBUFFER, depth_);
        glRenderbufferStorage(GL_RENDERBUFFER,
                              depthBits == 16 ? GL_DEPTH_COMPONENT16 : GL_DEPTH_COMPONENT24, width_,
                              height_);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
    }
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void RenderTarget::ReadInto(ddraw::Surface& surface, std::vector<BYTE>& scratch) const {
    const ddraw::PixelLayout& layout = surface.Layout();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (ReadsAsItIs(layout)) {
        const size_t rowBytes = size_t(width_) * layout.bytesPerPixel;
        scratch.resize(rowBytes * height_);
        if (layout.bytesPerPixel == 2) {
            glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, scratch.data());
        } else {
            glReadPixels(0, 0, width_, height_, BGRA_FORMAT, GL_UNSIGNED_BYTE, scratch.data());
        }
        CopyFlipped(scratch.data(), rowBytes, surface.Pixels(), size_t(surface.Pitch()), height_);
        return;
    }
    // Other layouts: through RGBA, one pixel at a time.
    std::vector<BYTE> rgba;
    ReadRgba(rgba);
    for (int y = 0; y < height_; ++y) {
        BYTE* row = surface.Pixels() + size_t(y) * surface.Pitch();
        for (int x = 0; x < width_; ++x) {
            const BYTE* p = rgba.data() + (size_t(y) * width_ + x) * 4;
            const ddraw::Argb colour = 0xFF000000u | DWORD(p[0]) << 16 | DWORD(p[1]) << 8 | p[2];
            ddraw::WritePixel(layout, row + size_t(x) * layout.bytesPerPixel, colour);
        }
    }
}

void RenderTarget::WriteFrom(const ddraw::Surface& surface, std::vector<BYTE>& scratch) {
    const ddraw::PixelLayout& layout = surface.Layout();
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, colour_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (WritesAsItIs(layout)) {
        const size_t rowBytes = size_t(width_) * layout.bytesPerPixel;
        scratch.resize(rowBytes * height_);
        CopyFlipped(surface.Pixels(), size_t(surface.Pitch()), scratch.data(), rowBytes, height_);
        if (layout.bytesPerPixel == 2) {
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width_, height_, GL_RGB,
                            GL_UNSIGNED_SHORT_5_6_5, scratch.data());
        } else {
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width_, height_, BGRA_FORMAT, GL_UNSIGNED_BYTE,
                            scratch.data());
        }
    } else {
        ddraw::SurfaceToRgba(surface, ddraw::AlphaRule::OPAQUE, ddraw::RowOrder::BOTTOM_UP,
                             scratch);
        DropAlpha(scratch);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE,
                        scratch.data());
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
}

void RenderTarget::ReadRgba(std::vector<BYTE>& rgba) const {
    const size_t rowBytes = size_t(width_) * 4;
    rgba.resize(rowBytes * height_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    // Alpha reads as 1: the colour formats have none. Turn GL's bottom-up rows top-down.
    for (int top = 0, bottom = height_ - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(rgba.begin() + ptrdiff_t(top * rowBytes),
                         rgba.begin() + ptrdiff_t((top + 1) * rowBytes),
                         rgba.begin() + ptrdiff_t(bottom * rowBytes));
    }
}

} // namespace gl
