// The drivers of a run on a desktop: one primary driver with the window GL device and the EGL
// software device (gl/gl_device.h), in that order, named after their renderers. Building the set
// probes both renderers, so it comes after the window backend is installed (the window device's
// name is that backend's GL) and costs a context of each kind.
#pragma once

#include "platform/host/drivers.h"

namespace drivers {

host::DriverSet BuildRealDrivers();

} // namespace drivers
