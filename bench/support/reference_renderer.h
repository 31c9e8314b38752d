// A minimal renderer straight on OpenGL, for measuring what the 3D device costs on top of GL
// (bench/device_frame.cpp). It draws the same vertex arrays the same way a small program written
// for GL would: its own software context and framebuffer, one program with one directional light
// and ambient, vertices and indices copied from system memory for every draw. It knows nothing
// of DirectDraw or device state.
#pragma once

#include <memory>
#include <string>

#include "platform/d3d/d3d.h"

namespace bench {

class ReferenceRenderer {
public:
    // A 16-bit (RGB565) or 32-bit target with a depth buffer. Null when no software context can
    // be made.
    static std::unique_ptr<ReferenceRenderer> Create(int width, int height, bool sixteenBit,
                                                     std::string* failure);
    ~ReferenceRenderer();

    void BeginFrame(D3DCOLOR clear);
    void SetCamera(const D3DMATRIX& view, const D3DMATRIX& projection);
    // Direction the light shines in (world space), and the ambient grey.
    void SetLight(const D3DVECTOR& direction, float ambient);
    void SetAdditiveBlending(bool additive);
    // A texture from RGBA bytes (top row first); 0 draws untextured. Linear filtering, wrapping.
    unsigned MakeTexture(int width, int height, const BYTE* rgba);
    void UseTexture(unsigned texture);
    void SetWorld(const D3DMATRIX& world);
    void SetGrey(float grey);
    void DrawIndexedTriangles(const D3DVERTEX* vertices, DWORD vertexCount, const WORD* indices,
                              DWORD indexCount);
    void DrawStrip(const D3DVERTEX* vertices, DWORD vertexCount);
    // Waits until everything drawn so far is in the framebuffer.
    void Finish();
    // The red channel of a pixel (top-left origin), for checking that it drew at all.
    int RedAt(int x, int y);

private:
    struct State;
    explicit ReferenceRenderer(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

// Waits until the current context has finished drawing (the device's, after device calls).
void FinishCurrentContext();

} // namespace bench
