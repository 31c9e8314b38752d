// Framebuffers for render-target surfaces. Sections: life cycle · making the framebuffer ·
// exact pixels · shaped pixels.
#include "platform/gl/render_target.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/ddraw/rgba_pixels.h"
#include "platform/gl/mode_pixels.h"
#include "platform/host/host.h"

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

// The most samples GL offers for a colour format, up to `wanted`: 8, 4, 2 or 1.
int OfferedSamples(GLenum format, int wanted) {
    GLint most = 1;
    glGetIntegerv(GL_MAX_SAMPLES, &most);
    if (HasInternalFormatQuery()) {
        GLint count = 0;
        glGetInternalformativ(GL_RENDERBUFFER, format, GL_NUM_SAMPLE_COUNTS, 1, &count);
        std::vector<GLint> counts(size_t(std::max(count, 0)));
        if (count > 0) {
            glGetInternalformativ(GL_RENDERBUFFER, format, GL_SAMPLES, count, counts.data());
            most = *std::max_element(counts.begin(), counts.end());
        }
    }
    int samples = wanted;
    while (samples > 1 && samples > most) {
        samples /= 2;
    }
    return samples;
}

} // namespace

// ---- Life cycle --------------------------------------------------------------------------------

RenderTarget::RenderTarget(GarbageLink bin, std::weak_ptr<std::vector<ddraw::Surface*>> registry,
                           ddraw::Surface* surface)
    : bin_(std::move(bin)), registry_(std::move(registry)), surface_(surface) {}

RenderTarget::~RenderTarget() {
    if (auto registry = registry_.lock()) {
        registry->erase(std::remove(registry->begin(), registry->end(), surface_), registry->end());
    }
    if (auto bin = bin_.lock()) {
        for (GLuint framebuffer : {framebuffer_, resolveFramebuffer_}) {
            if (framebuffer != 0) {
                bin->framebuffers.push_back(framebuffer);
            }
        }
        if (colour_ != 0) {
            (samples_ > 1 ? bin->renderbuffers : bin->textures).push_back(colour_);
        }
        if (resolvedColour_ != 0) {
            bin->textures.push_back(resolvedColour_);
        }
        if (depth_ != 0) {
            bin->renderbuffers.push_back(depth_);
        }
    }
}

int RenderTarget::ToFramebufferX(long x) const {
    return modeWidth_ > 0 ? int(int64_t(x) * width_ / modeWidth_) : int(x);
}

int RenderTarget::ToFramebufferY(long y) const {
    return modeHeight_ > 0 ? int(int64_t(y) * height_ / modeHeight_) : int(y);
}

// ---- Making the framebuffer --------------------------------------------------------------------

void RenderTarget::DeleteColour() {
    if (colour_ != 0) {
        if (samples_ > 1) {
            glDeleteRenderbuffers(1, &colour_);
        } else {
            glDeleteTextures(1, &colour_);
        }
        colour_ = 0;
    }
    if (resolvedColour_ != 0) {
        glDeleteTextures(1, &resolvedColour_);
        resolvedColour_ = 0;
    }
    if (resolveFramebuffer_ != 0) {
        glDeleteFramebuffers(1, &resolveFramebuffer_);
        resolveFramebuffer_ = 0;
    }
}

bool RenderTarget::MakeColour(int samples) {
    samples_ = samples;
    auto makeTexture = [this](GLuint* texture) {
        glGenTextures(1, texture);
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_2D, *texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        if (colourFormat_ == GL_RGB565) {
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB565, width_, height_, 0, GL_RGB,
                         GL_UNSIGNED_SHORT_5_6_5, nullptr);
        } else {
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width_, height_, 0, GL_RGB, GL_UNSIGNED_BYTE,
                         nullptr);
        }
        glBindTexture(GL_TEXTURE_2D, 0);
        glActiveTexture(GL_TEXTURE0);
    };
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    if (samples > 1) {
        glGenRenderbuffers(1, &colour_);
        glBindRenderbuffer(GL_RENDERBUFFER, colour_);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, colourFormat_, width_, height_);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
        // The resolved picture: the same format, or the resolving blit is refused.
        makeTexture(&resolvedColour_);
        glGenFramebuffers(1, &resolveFramebuffer_);
        glBindFramebuffer(GL_FRAMEBUFFER, resolveFramebuffer_);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, resolvedColour_,
                               0);
        const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        return complete && glGetError() == GL_NO_ERROR;
    }
    makeTexture(&colour_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour_, 0);
    return glGetError() == GL_NO_ERROR;
}

bool RenderTarget::Prepare(ddraw::Surface& surface, const TargetShape& shape) {
    const ddraw::Surface* z = surface.AttachedZBuffer();
    const DWORD depthBits = z != nullptr ? ddraw::BitsPerPixel(z->Desc().ddpfPixelFormat) : 0;
    const int bytes = surface.Layout().bytesPerPixel;
    const bool sameColour = colour_ != 0 && modeWidth_ == surface.Width() &&
                            modeHeight_ == surface.Height() && colourBytes_ == bytes &&
                            shape_ == shape;
    if (sameColour && depthBits == depthBits_) {
        return true;
    }
    if (framebuffer_ == 0) {
        glGenFramebuffers(1, &framebuffer_);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    if (!sameColour) {
        // A changed colour buffer starts empty: whatever the CPU knew of the old one is stale.
        lastKnown_.clear();
        resolved_ = true;
        DeleteColour();
        modeWidth_ = surface.Width();
        modeHeight_ = surface.Height();
        colourBytes_ = bytes;
        shape_ = shape;
        width_ = shape.width > 0 ? shape.width : modeWidth_;
        height_ = shape.height > 0 ? shape.height : modeHeight_;
        colourFormat_ = bytes == 2 && !shape.trueColour ? GL_RGB565 : GL_RGB8;
        exact_ = width_ == modeWidth_ && height_ == modeHeight_ && shape.samples <= 1 &&
                 (bytes != 2 || colourFormat_ == GL_RGB565);
        while (glGetError() != GL_NO_ERROR) {
        }
        int samples = shape.samples > 1 ? OfferedSamples(colourFormat_, shape.samples) : 1;
        if (samples < shape.samples) {
            host::WriteDebugOutput(("GL: " + std::to_string(shape.samples) +
                                    " samples asked for, " + std::to_string(samples) + " offered\n")
                                       .c_str());
        }
        // Fewer samples, down to none, when the framebuffer cannot be made with so many.
        while (!MakeColour(samples) && samples > 1) {
            DeleteColour();
            samples /= 2;
            host::WriteDebugOutput(
                ("GL: multisampled target refused; " + std::to_string(samples) + " samples\n")
                    .c_str());
        }
        exact_ = exact_ && samples_ <= 1;
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
        const GLenum format = depthBits == 16 ? GL_DEPTH_COMPONENT16 : GL_DEPTH_COMPONENT24;
        if (samples_ > 1) {
            glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples_, format, width_, height_);
        } else {
            glRenderbufferStorage(GL_RENDERBUFFER, format, width_, height_);
        }
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
    }
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void RenderTarget::Resolve() {
    if (resolved_ || resolveFramebuffer_ == 0) {
        resolved_ = true;
        return;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFramebuffer_);
    glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    resolved_ = true;
}

// ---- Exact pixels ------------------------------------------------------------------------------

void RenderTarget::ReadInto(ddraw::Surface& surface, std::vector<BYTE>& scratch) {
    const ddraw::PixelLayout& layout = surface.Layout();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (!exact_) {
        Resolve();
        ReadBottomUp(scratch);
        BoxAverage(scratch.data(), width_, height_, surface);
        RememberMemory(surface, lastKnown_);
        return;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
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
    ReadBottomUp(scratch);
    BoxAverage(scratch.data(), width_, height_, surface);
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

void RenderTarget::ReadBottomUp(std::vector<BYTE>& rgba) const {
    rgba.resize(size_t(width_) * 4 * size_t(height_));
    glBindFramebuffer(GL_FRAMEBUFFER, ReadFramebuffer());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    // Alpha reads as 1: the colour formats have none.
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
}

void RenderTarget::ReadRgba(std::vector<BYTE>& rgba) const {
    const size_t rowBytes = size_t(width_) * 4;
    ReadBottomUp(rgba);
    // Turn GL's bottom-up rows top-down.
    for (int top = 0, bottom = height_ - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(rgba.begin() + ptrdiff_t(top * rowBytes),
                         rgba.begin() + ptrdiff_t((top + 1) * rowBytes),
                         rgba.begin() + ptrdiff_t(bottom * rowBytes));
    }
}

// ---- Shaped pixels -----------------------------------------------------------------------------

bool RenderTarget::TakeChanges(const ddraw::Surface& surface, std::vector<BYTE>& rgba,
                               RECT* changed) {
    const bool known = !newerThanMemory && !lastKnown_.empty();
    const bool any = MarkChanges(surface, known ? &lastKnown_ : nullptr, rgba, changed);
    RememberMemory(surface, lastKnown_);
    return any;
}

} // namespace gl
