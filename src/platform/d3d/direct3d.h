// The Direct3D object of a DirectDraw object (QueryInterface for IID_IDirect3D7): it lists the
// driver's 3D devices and z-buffer formats and makes devices through the driver's factories.
#pragma once

#include "platform/d3d/d3d.h"

namespace d3d {

// A new Direct3D object with one reference; it holds `directDraw`, which must be this platform's
// (a host::Direct3DFactory, set on every driver by the driver builder).
IDirect3D7* CreateDirect3D(IDirectDraw7* directDraw);

} // namespace d3d
