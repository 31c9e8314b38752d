#include "platform/web/program.h"

#include "platform/host/drivers.h"
#include "platform/web/web_drivers.h"
#include "platform/web/web_host.h"

namespace web {

int RunWebProgram(const std::function<int()>& run) {
    InstallWebHost();
    int result = 0;
    {
        // After the window backend: the device is named after the canvas's renderer.
        host::ScopedDrivers drivers(BuildWebDrivers());
        result = run();
    }
    UninstallWebHost();
    return result;
}

} // namespace web
