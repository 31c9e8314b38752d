// An offscreen rig for GL tests: a fake driver whose 3D device draws with Mesa's software
// rasteriser through EGL, a render target of a chosen size and depth (with a z-buffer), and
// helpers to draw and read pixels back. No display is needed.
#pragma once

#include <string>
#include <vector>

#include "platform/d3d/d3d.h"
#include "platform/host/drivers.h"
#include "platform/host/presentation.h"
#include "platform/host/presentation_options.h"

namespace gl_test {

struct Rgb {
    int r, g, b;
};

// One driver with the standard modes and one device: Mesa's software rasteriser through EGL.
host::DriverSet SoftwareGlDrivers();

// Presentation options for the lifetime of the object (devices read them when they are made);
// the defaults come back afterwards.
class ScopedPresentation {
public:
    explicit ScopedPresentation(const host::PresentationOptions& options) {
        host::SetPresentationOptions(options);
    }
    ~ScopedPresentation() { host::SetPresentationOptions(host::PresentationOptions{}); }
    ScopedPresentation(const ScopedPresentation&) = delete;
    ScopedPresentation& operator=(const ScopedPresentation&) = delete;
};

class OffscreenRig {
public:
    // `bits` is 16 (RGB565 target, 16-bit z) or 32 (XRGB8888, 32-bit z).
    OffscreenRig(int width, int height, int bits, bool zBuffer = true);
    ~OffscreenRig();
    OffscreenRig(const OffscreenRig&) = delete;
    OffscreenRig& operator=(const OffscreenRig&) = delete;

    // False (with the reason in failure()) when the device could not be made.
    bool Ready() const { return device != nullptr; }
    const std::string& Failure() const { return failure_; }

    // Identity world, view and projection: x and y from -1 to 1 cover the target (y up), z from
    // 0 to 1 is depth. One white directional light along +z, ambient as given.
    void SetUpPlainScene(D3DCOLOR ambient = 0);
    void SetGrey(float level, float alpha = 1.0f);
    // A quad from (x0, y0) to (x1, y1) at depth z, facing the viewer, drawn clockwise on screen.
    void DrawQuad(float x0, float y0, float x1, float y1, float z = 0.5f, float u0 = 0,
                  float v0 = 0, float u1 = 1, float v1 = 1);

    // A texture surface of the given format, its raw pixels (value i at (i % width, i / width)).
    IDirectDrawSurface7* MakeTexture(int width, int height, int pixelKind,
                                     const std::vector<DWORD>& pixels);

    // The target's pixels through Lock, as 8-bit channels; (0, 0) is the top left.
    Rgb Pixel(int x, int y);
    std::vector<BYTE> Rgba(); // whole target, top row first
    // Writes the target to tests' output folder (gl-out/<name>.png) for looking at.
    void Save(const std::string& name);

    IDirectDraw7* directDraw = nullptr;
    IDirect3D7* direct3D = nullptr;
    IDirectDrawSurface7* target = nullptr;
    IDirect3DDevice7* device = nullptr;

private:
    host::ScopedDrivers drivers_;
    std::string failure_;
    int width_, height_;
};

// An exclusive-mode flipping chain in a mode of its own on the software GL device, through a
// window without a native one: what a flip hands the frame sink is kept (at the target's own,
// internal, size). Going, it expects every reference to have gone with it.
class FlipRig {
public:
    FlipRig(int width, int height, int bits);
    ~FlipRig();
    FlipRig(const FlipRig&) = delete;
    FlipRig& operator=(const FlipRig&) = delete;

    bool Flip();
    // The last frame's pixel as 0xRRGGBB; (0, 0) is the top left.
    DWORD FramePixel(int x, int y) const;

    IDirectDraw7* directDraw = nullptr;
    IDirect3D7* direct3D = nullptr;
    IDirectDrawSurface7* primary = nullptr;
    IDirectDrawSurface7* back = nullptr;
    IDirect3DDevice7* device = nullptr;
    std::vector<BYTE> frame; // RGBA, top row first
    int frameWidth = 0;
    int frameHeight = 0;

private:
    host::ScopedDrivers drivers_;
};

// A presented frame's rows, packed, into `rgba`.
void CopyPresentedFrame(const host::PresentedFrame& presented, std::vector<BYTE>& rgba);

// 4 bytes per pixel, top row first.
bool SavePng(const std::string& path, int width, int height, const std::vector<BYTE>& rgba);

// A surface's picture as RGBA, top row first, read through Lock; empty when it cannot be locked.
std::vector<BYTE> ReadSurfaceRgba(IDirectDrawSurface7* surface);

} // namespace gl_test
