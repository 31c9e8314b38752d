// The demo's own WinMain on the real driver set, with one line on standard error each time a 3D
// device is made: "3D device made: <name>". An end-to-end test can then tell which device the
// 3D environment was built, or rebuilt, on after the start-up dialog. The demo takes no options;
// neither does this runner.
#include <cstdio>
#include <string>

#include "demo/demo_app.h"
#include "platform/desktop/desktop_host.h"
#include "platform/drivers/real_drivers.h"
#include "platform/host/drivers.h"
#include "platform/win32/kernel.h"
#include "platform/win32/user.h"
#include "resources/program_resources.h"

namespace {

// Each device of the set, made as before, with its name on standard error first.
host::DriverSet TracedDrivers(host::DriverSet drivers) {
    for (const std::shared_ptr<host::Driver>& driver : drivers) {
        for (std::shared_ptr<host::DeviceDescription>& device : driver->devices) {
            auto traced = std::make_shared<host::DeviceDescription>(*device);
            const host::DeviceFactory make = device->factory;
            const std::string name = device->name;
            traced->factory = [make, name](const host::DeviceCreation& creation,
                                           IDirect3DDevice7** made) -> HRESULT {
                std::fprintf(stderr, "3D device made: %s\n", name.c_str());
                std::fflush(stderr);
                return make != nullptr ? make(creation, made) : DDERR_UNSUPPORTED;
            };
            device = traced;
        }
    }
    return drivers;
}

} // namespace

int main() {
    RegisterProgramResources();
    const bool desktop = desktop::InstallDesktopHost();
    host::InstallDrivers(TracedDrivers(drivers::BuildRealDrivers()));
    char commandLine[] = "";
    const int result = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
    host::InstallDrivers({});
    if (desktop) {
        desktop::UninstallDesktopHost();
    }
    return result;
}
