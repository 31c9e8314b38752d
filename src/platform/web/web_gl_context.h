// The canvas's WebGL 2 context as the window's GL context (host::GlContext). A canvas has one
// WebGL context for its whole life, so it is made once, at the first need, and every context
// object hands out that one: a device that goes leaves it to the next. Its default framebuffer is
// the canvas; showing a frame is handing it to the browser, which puts it on screen at its next
// animation frame.
#pragma once

#include <memory>
#include <string>

#include "platform/host/gl_context.h"

namespace web {

// The context for the window that has the canvas; null (with a reason) when the browser gives
// the canvas no WebGL 2 context.
std::unique_ptr<host::GlContext> CreateCanvasContext(HWND window, std::string* failure);

// The renderer's name as the browser tells it ("ANGLE (...)" or a GPU's), for the device list;
// empty without WebGL 2.
std::string CanvasRendererName();

// The part of a renderer's name that names the hardware: a browser names it in brackets after
// its translation layer ("ANGLE (Google, Vulkan 1.3.0 (SwiftShader Device (Subzero) (0x0000C0DE)),
// SwiftShader driver)" gives "SwiftShader Device"). Other names stay whole.
std::string HardwareName(const std::string& renderer);

} // namespace web
