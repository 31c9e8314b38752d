// The drivers of a capture: the primary display driver with the platform's display modes and
// one 3D device that draws offscreen, so that no window or display is needed. Being the only
// device, it is the program's default.
#pragma once

#include <string>

#include "capture_options.h"
#include "platform/host/drivers.h"

namespace capture {

struct CaptureDevice {
    host::DriverSet drivers;                // empty when the device cannot be had
    DeviceChoice kind = DeviceChoice::NONE; // SOFTWARE, GPU or NONE: what AUTO became
    std::string name;                       // what the device list shows, e.g. "Software: llvmpipe"
    std::string failure;                    // why not, when `drivers` is empty
};

// AUTO takes a GPU when EGL lists one that gives a context, else the software rasteriser. The
// devices are tried here once, so that a missing one is reported before the program starts.
CaptureDevice BuildCaptureDevice(DeviceChoice choice);

// --list-devices: EGL's devices on standard output, one a line; 1 when EGL cannot list them.
int ListDevices();

} // namespace capture
