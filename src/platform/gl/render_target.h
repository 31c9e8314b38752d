// The framebuffer a device renders a surface into. Kept with the surface (ddraw::SurfaceData)
// and deleted through the garbage bin.
//
// Exact (the authentic picture): a colour texture of the surface's size in its own depth (RGB565
// for 16-bit surfaces, so that every blend is quantised as on 16-bit hardware; RGB8 for 32-bit
// ones) and a depth renderbuffer matching the surface's attached z-buffer. The surface's memory
// and the framebuffer then hold the same pixels.
//
// Shaped by the presentation options (presentation_options.h): larger than the surface (an
// internal resolution), multisampled (then resolved into a texture of the same size before
// anything reads it), or RGB8 whatever the surface's depth. The surface stays in mode pixels:
// its memory holds the resolved picture box-averaged to its own size, and what the CPU changes
// in it goes back as whole blocks of the pixels each mode pixel covers (mode_pixels.h).
//
// GL's rows run bottom-up and surfaces' rows top-down; the picture is the same, only reading and
// writing pixels flips the rows.
#pragma once

#include <vector>

#include "platform/ddraw/surface.h"
#include "platform/gl/garbage.h"

namespace gl {

// How a target is made beyond its surface: internal size (0 x 0: the surface's), samples, and
// whether its colour is RGB8 whatever the surface's depth.
struct TargetShape {
    int width = 0;
    int height = 0;
    int samples = 1;
    bool trueColour = false;
    bool operator==(const TargetShape&) const = default;
};

class RenderTarget final : public ddraw::SurfaceData {
public:
    // `registry` lists the surfaces the device backs; the target removes its surface from it
    // when the surface goes.
    RenderTarget(GarbageLink bin, std::weak_ptr<std::vector<ddraw::Surface*>> registry,
                 ddraw::Surface* surface);
    ~RenderTarget() override;

    // Makes or remakes the framebuffer for the surface's size, format and z-buffer in this
    // shape. False when GL cannot render into it. The context must be current; the framebuffer
    // bindings are changed.
    bool Prepare(ddraw::Surface& surface, const TargetShape& shape);
    // Where draws and clears go (multisampled when the shape has samples).
    GLuint Framebuffer() const { return framebuffer_; }
    // Where the finished picture is read from: the resolved texture's framebuffer when
    // multisampled, else the one drawn into. Resolve() first.
    GLuint ReadFramebuffer() const {
        return resolveFramebuffer_ != 0 ? resolveFramebuffer_ : framebuffer_;
    }
    // Made by a renderer that no longer exists (its context and objects are gone).
    bool Orphaned() const { return bin_.expired(); }
    // The framebuffer's size, and the surface's (mode pixels).
    int Width() const { return width_; }
    int Height() const { return height_; }
    int ModeWidth() const { return modeWidth_; }
    int ModeHeight() const { return modeHeight_; }
    int Samples() const { return samples_; }
    bool HasDepth() const { return depth_ != 0; }
    // The surface's memory and the framebuffer hold the same pixels (no shape applies).
    bool Exact() const { return exact_; }
    // Larger than the surface or multisampled: edges fall on a finer grid than the mode's.
    bool Finer() const { return width_ != modeWidth_ || height_ != modeHeight_ || samples_ > 1; }

    // Mode pixels to framebuffer pixels, rounding down: the first framebuffer column or row of
    // a mode column or row (and, for x = width, the end).
    int ToFramebufferX(long x) const;
    int ToFramebufferY(long y) const;

    // Drawing happened: the surface's memory and the resolved picture are behind.
    void MarkDrawn() {
        newerThanMemory = true;
        resolved_ = false;
    }
    // Whether the framebuffer holds drawing the surface's memory has not seen yet.
    bool newerThanMemory = false;

    // A multisampled framebuffer's samples into the resolved texture, when drawing happened
    // since. Changes the framebuffer bindings.
    void Resolve();

    // Surface memory <- framebuffer, in the surface's own pixel format; shaped targets are
    // box-averaged to mode pixels, and the result remembered for WriteChanges.
    void ReadInto(ddraw::Surface& surface, std::vector<BYTE>& scratch);
    // Surface memory -> framebuffer of an exact target.
    void WriteFrom(const ddraw::Surface& surface, std::vector<BYTE>& scratch);
    // For a shaped target: the surface's picture as RGBA, bottom row first, with alpha 255 on the
    // pixels the CPU changed since ReadInto (all of them when the framebuffer moved on since, or
    // nothing was read) and 0 elsewhere, and the changed pixels' bounding box in mode pixels
    // (GL's orientation: rows from the bottom). False when nothing changed.
    bool TakeChanges(const ddraw::Surface& surface, std::vector<BYTE>& rgba, RECT* changed);
    // The picture as RGBA bytes at the framebuffer's size, top row first. Resolve() first.
    void ReadRgba(std::vector<BYTE>& rgba) const;

private:
    void DeleteColour();
    // The picture as RGBA at the framebuffer's size, in GL's row order.
    void ReadBottomUp(std::vector<BYTE>& rgba) const;
    bool MakeColour(int samples);

    GarbageLink bin_;
    std::weak_ptr<std::vector<ddraw::Surface*>> registry_;
    ddraw::Surface* surface_;
    GLuint framebuffer_ = 0;
    GLuint colour_ = 0;             // texture (single-sampled) or renderbuffer (multisampled)
    GLuint resolveFramebuffer_ = 0; // multisampled only
    GLuint resolvedColour_ = 0;
    GLuint depth_ = 0;
    int width_ = 0;
    int height_ = 0;
    int modeWidth_ = 0;
    int modeHeight_ = 0;
    int samples_ = 1;
    GLenum colourFormat_ = 0;
    int colourBytes_ = 0;
    TargetShape shape_{};
    DWORD depthBits_ = 0;
    bool exact_ = true;
    bool resolved_ = true;
    // The surface's memory as it was last read from (or written to) the framebuffer, packed rows:
    // what a shaped target compares against to find the CPU's changes.
    std::vector<BYTE> lastKnown_;
};

} // namespace gl
