// The real driver set: the primary display driver with its two 3D devices, named after the
// renderers that draw for them.
#include "platform/drivers/real_drivers.h"

#include "platform/drivers/driver_builder.h"
#include "platform/gl/context.h"
#include "platform/host/host.h"

namespace drivers {

host::DriverSet BuildRealDrivers() {
    // Both devices list the same formats, so that a picture looks the same on either.
    return {
        PrimaryDriver()
            .Device(
                GlDevice(GlKind::WINDOW, DeviceName("OpenGL: ", host::Windows().ProbeGlRenderer(),
                                                    "OpenGL window (no GL found)"))
                    .Description("Hardware-class rasterisation on the window's OpenGL "
                                 "context"))
            .Device(GlDevice(GlKind::SOFTWARE, DeviceName("Software: ", gl::ProbeSoftwareRenderer(),
                                                          "Software rasteriser (no EGL found)"))
                        .Description("Mesa's software rasterisation through EGL, shown in the "
                                     "window"))
            .Build()};
}

} // namespace drivers
