#include "capture_drivers.h"

#include <memory>

#include "platform/d3d/gl_device.h"
#include "platform/d3d/null_device.h"
#include "platform/gl/context.h"
#include "platform/gl/gpu_context.h"
#include "platform/host/standard_caps.h"

namespace capture {

namespace {

// The device list shows at most 38 characters.
constexpr size_t DEVICE_NAME_LIMIT = 38;

std::string ShortName(const std::string& prefix, const std::string& renderer) {
    std::string name = prefix + renderer.substr(0, renderer.find(" ("));
    return name.substr(0, DEVICE_NAME_LIMIT);
}

host::DriverSet OneDeviceDriver(const GUID& deviceGuid, bool hardware, const std::string& name,
                                host::DeviceFactory factory) {
    auto device = std::make_shared<host::DeviceDescription>();
    device->name = name;
    device->description = "Offscreen rendering for capture";
    device->desc = host::StandardDeviceDesc(deviceGuid, hardware);
    device->textureFormats = host::StandardTextureFormats();
    device->zBufferFormats = host::StandardZBufferFormats();
    device->factory = std::move(factory);

    auto driver = std::make_shared<host::Driver>();
    driver->description = "Primary Display Driver";
    driver->name = "display";
    driver->halCaps = host::StandardDriverCaps();
    driver->helCaps = host::StandardEmulationCaps();
    driver->modes = host::StandardDisplayModes();
    driver->desktopMode = host::MakeDisplayMode(1024, 768, 32);
    driver->devices = {device};
    return {driver};
}

} // namespace

CaptureDevice BuildCaptureDevice(DeviceChoice choice) {
    CaptureDevice result;
    if (choice == DeviceChoice::NONE) {
        result.name = "Nothing drawn";
        result.drivers =
            OneDeviceDriver(IID_IDirect3DRGBDevice, false, result.name, d3d::CreateNullDevice);
        return result;
    }
    std::string gpuFailure;
    if (choice == DeviceChoice::GPU || choice == DeviceChoice::AUTO) {
        if (std::unique_ptr<gl::Context> gpu = gl::CreateGpuContext(&gpuFailure)) {
            result.name = ShortName("GPU: ", gpu->Renderer());
            result.drivers =
                OneDeviceDriver(IID_IDirect3DHALDevice, true, result.name, d3d::CreateGpuGlDevice);
            return result;
        }
        if (choice == DeviceChoice::GPU) {
            result.failure = "no GPU to draw on: " + gpuFailure;
            return result;
        }
    }
    std::string softwareFailure;
    if (std::unique_ptr<gl::Context> software = gl::CreateSoftwareContext(&softwareFailure)) {
        result.name = ShortName("Software: ", software->Renderer());
        result.drivers = OneDeviceDriver(IID_IDirect3DRGBDevice, false, result.name,
                                         d3d::CreateSoftwareGlDevice);
        return result;
    }
    result.failure = "Mesa's software rasteriser is not available through EGL: " + softwareFailure;
    if (choice == DeviceChoice::AUTO) {
        result.failure += " (and no GPU: " + gpuFailure + ")";
    }
    return result;
}

} // namespace capture
