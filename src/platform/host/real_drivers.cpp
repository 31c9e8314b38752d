// The real driver set: the primary display driver with its two 3D devices, named after the
// renderers that draw for them.
#include "platform/d3d/gl_device.h"
#include "platform/gl/context.h"
#include "platform/host/drivers.h"
#include "platform/host/host.h"
#include "platform/host/standard_caps.h"

namespace host {

namespace {

// The device list shows at most 38 characters. Renderer strings run long ("llvmpipe (LLVM
// 15.0.6, 256 bits)"), so the part in brackets goes first, then the tail.
constexpr size_t DEVICE_NAME_LIMIT = 38;

std::string DeviceName(const std::string& prefix, const std::string& renderer,
                       const char* fallback) {
    if (renderer.empty()) {
        return fallback;
    }
    std::string name = prefix + renderer;
    if (name.size() > DEVICE_NAME_LIMIT) {
        const size_t bracket = renderer.find(" (");
        name = prefix + renderer.substr(0, bracket);
    }
    return name.substr(0, DEVICE_NAME_LIMIT);
}

} // namespace

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

    // Both devices list the same formats, so that a picture looks the same on either.
    auto hardware = std::make_shared<DeviceDescription>();
    hardware->name =
        DeviceName("OpenGL: ", gl::ProbeWindowRenderer(), "OpenGL window (no GL found)");
    hardware->description = "Hardware-class rasterisation on the window's OpenGL context";
    hardware->desc = StandardDeviceDesc(IID_IDirect3DHALDevice, true);
    hardware->textureFormats = StandardTextureFormats();
    hardware->zBufferFormats = StandardZBufferFormats();
    hardware->factory = d3d::CreateWindowGlDevice;

    auto software = std::make_shared<DeviceDescription>(*hardware);
    software->name =
        DeviceName("Software: ", gl::ProbeSoftwareRenderer(), "Software rasteriser (no EGL found)");
    software->description = "Mesa's software rasterisation through EGL, shown in the window";
    software->desc = StandardDeviceDesc(IID_IDirect3DRGBDevice, false);
    software->factory = d3d::CreateSoftwareGlDevice;

    driver->devices = {hardware, software};
    return {driver};
}

} // namespace host
