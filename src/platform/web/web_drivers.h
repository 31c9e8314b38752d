// The drivers of a run in a browser: the primary display driver with one 3D device, which draws
// with WebGL 2 on the page's canvas, named "WebGL 2: " and the hardware behind it. Building the
// set asks the window backend for the renderer, so it comes after the web host is installed.
#pragma once

#include "platform/host/drivers.h"

namespace web {

host::DriverSet BuildWebDrivers();

} // namespace web
