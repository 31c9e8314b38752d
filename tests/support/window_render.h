// Drawing one frame through a window's primary surface, the way the demo shows its frames in a
// window: a clipped primary, an off-screen back buffer with a 32-bit z-buffer, a 3D device of
// the chosen kind on it, and a blit to the primary that reaches the test through the frame sink.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/d3d/d3d.h"

namespace gl_test {

struct WindowFrame {
    int width = 0, height = 0;
    std::vector<BYTE> rgba; // 4 bytes per pixel, top row first
};

// A surface of the given caps; width and height are left to DirectDraw when 0, the format
// when null.
IDirectDrawSurface7* MakeSurface(IDirectDraw7* directDraw, DWORD caps, int width, int height,
                                 const DDPIXELFORMAT* format);

// `draw` draws the frame between device creation and the blit. The frame is empty and
// `failure` holds the device's trace when the device cannot be made.
WindowFrame RenderThroughWindow(HWND window, const GUID& deviceGuid, int width, int height,
                                const std::function<void(IDirectDraw7*, IDirect3DDevice7*)>& draw,
                                std::string* failure);

} // namespace gl_test
