// The 3D devices that draw with OpenGL: the hardware-class device on the window's own context,
// and the software device on Mesa's software rasteriser (EGL, offscreen), whose frames are read
// back and shown in the window without GL. Both render into a framebuffer of the render
// target's size and depth and present it scaled with the aspect kept.
#pragma once

#include "platform/host/drivers.h"

namespace gl {

// Device factories (see host::DeviceFactory). The window device draws on the context the window
// backend makes on the DirectDraw object's cooperative window; without one, creation fails with
// DDERR_GENERIC and the reason goes to the debug output.
HRESULT CreateWindowGlDevice(const host::DeviceCreation& creation, IDirect3DDevice7** device);
HRESULT CreateSoftwareGlDevice(const host::DeviceCreation& creation, IDirect3DDevice7** device);
// A GPU through EGL, offscreen like the software device (see gl/gpu_context.h).
HRESULT CreateGpuGlDevice(const host::DeviceCreation& creation, IDirect3DDevice7** device);

} // namespace gl
