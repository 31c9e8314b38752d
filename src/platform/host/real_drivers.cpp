// The real driver set: the primary display driver with its two 3D devices.
#include "platform/d3d/null_device.h"
#include "platform/host/drivers.h"
#include "platform/host/host.h"
#include "platform/host/standard_caps.h"

namespace host {

DriverSet BuildRealDrivers() {
    auto driver = std::make_shared<Driver>();
    driver->description = "Primary Display Driver";
    driver->name = "display";
    driver->halCaps = StandardDriverCaps();
    driver->helCaps = StandardEmulationCaps();
    driver->modes = StandardDisplayModes();
    // The desktop is always deep colour here; its size is the host's screen.
    const RECT desktop = Windows().DesktopRect();
    driver->desktopMode = MakeDisplayMode(static_cast<DWORD>(desktop.right - desktop.left),
                                          static_cast<DWORD>(desktop.bottom - desktop.top), 32);

    auto hardware = std::make_shared<DeviceDescription>();
    hardware->name = "OpenGL (window)";
    hardware->description = "Hardware-class rasterisation on the window's OpenGL context";
    hardware->desc = StandardDeviceDesc(IID_IDirect3DHALDevice, true);
    hardware->textureFormats = StandardTextureFormats();
    hardware->zBufferFormats = StandardZBufferFormats();
    hardware->factory = d3d::CreateNullDevice;

    auto software = std::make_shared<DeviceDescription>(*hardware);
    software->name = "OpenGL (software)";
    software->description = "Software rasterisation";
    software->desc = StandardDeviceDesc(IID_IDirect3DRGBDevice, false);

    driver->devices = {hardware, software};
    return {driver};
}

} // namespace host
