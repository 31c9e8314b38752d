// The window's own OpenGL 3.3 core context, through SDL: the hardware-class device draws on it
// and shows its default framebuffer with a swap. Made by SdlWindowBackend::CreateGlContext.
#pragma once

#include <memory>
#include <string>

#include "platform/host/gl_context.h"

namespace desktop {

// Null (with a reason) when the window has no SDL window, was not made for GL, or no 3.3 core
// context can be had on it.
std::unique_ptr<host::GlContext> CreateSdlGlContext(HWND window, std::string* failure);

// The renderer string a window context gets, for the device's name: a hidden window and context
// of its own are made and destroyed again. Empty when SDL's video is not running or GL fails.
std::string ProbeSdlGlRenderer();

} // namespace desktop
