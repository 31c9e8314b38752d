#include "platform/web/web_drivers.h"

#include "platform/drivers/driver_builder.h"
#include "platform/host/host.h"

namespace web {

host::DriverSet BuildWebDrivers() {
    return {drivers::PrimaryDriver()
                .Device(drivers::GlDevice(
                            drivers::GlKind::WINDOW,
                            drivers::DeviceName("WebGL 2: ", host::Windows().ProbeGlRenderer(),
                                                "WebGL 2 (not available)"))
                            .Description("Hardware-class rasterisation with WebGL 2 on the "
                                         "page's canvas"))
                .Build()};
}

} // namespace web
