// The framebuffer a device renders a surface into: a colour texture in the surface's own depth
// (RGB565 for 16-bit surfaces, so that every blend is quantised as on 16-bit hardware; RGB8 for
// 32-bit ones) and a depth renderbuffer matching the surface's attached z-buffer. Kept with the
// surface (ddraw::SurfaceData) and deleted through the garbage bin.
//
// GL's rows run bottom-up and surfaces' rows top-down; the picture is the same, only reading and
// writing pixels flips the rows.
#pragma once

#include <vector>

#include "platform/ddraw/surface.h"
#include "platform/gl/garbage.h"

namespace gl {

class RenderTarget final : public ddraw::SurfaceData {
public:
    // `registry` lists the surfaces the device backs; the target removes its surface from it
    // when the surface goes.
    RenderTarget(GarbageLink bin, std::weak_ptr<std::vector<ddraw::Surface*>> registry,
                 ddraw::Surface* surface);
    ~RenderTarget() override;

    // Makes or remakes the framebuffer for the surface's size, format and z-buffer. False when GL
    // cannot render into it. The context must be current.
    bool Prepare(ddraw::Surface& surface);
    GLuint Framebuffer() const { return framebuffer_; }
    // Made by a renderer that no longer exists (its context and objects are gone).
    bool Orphaned() const { return bin_.expired(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool HasDepth() const { return depth_ != 0; }

    // Whether the framebuffer holds drawing the surface's memory has not seen yet.
    bool newerThanMemory = false;

    // Surface memory <-> framebuffer, in the surface's own pixel format.
    void ReadInto(ddraw::Surface& surface, std::vector<BYTE>& scratch) const;
    void WriteFrom(const ddraw::Surface& surface, std::vector<BYTE>& scratch);
    // The picture as RGBA bytes, top row first.
    void ReadRgba(std::vector<BYTE>& rgba) const;

private:
    GarbageLink bin_;
    std::weak_ptr<std::vector<ddraw::Surface*>> registry_;
    ddraw::Surface* surface_;
    GLuint framebuffer_ = 0;
    GLuint colour_ = 0;
    GLuint depth_ = 0;
    int width_ = 0;
    int height_ = 0;
    int colourBytes_ = 0;
    DWORD depthBits_ = 0;
};

} // namespace gl
