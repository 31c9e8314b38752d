#include "capture_drivers.h"

#include <cstdio>
#include <memory>

#include "platform/d3d/null_device.h"
#include "platform/drivers/driver_builder.h"
#include "platform/gl/context.h"
#include "platform/gl/gpu_context.h"

namespace capture {

namespace {

host::DriverSet OneDeviceDriver(drivers::DeviceBuilder device) {
    return {drivers::PrimaryDriver()
                .Device(device.Description("Offscreen rendering for capture"))
                .Build()};
}

} // namespace

CaptureDevice BuildCaptureDevice(DeviceChoice choice) {
    CaptureDevice result;
    if (choice == DeviceChoice::NONE) {
        result.name = "Nothing drawn";
        result.drivers = OneDeviceDriver(drivers::DeviceBuilder(IID_IDirect3DRGBDevice, result.name)
                                             .Hardware(false)
                                             .Factory(d3d::CreateNullDevice));
        return result;
    }
    std::string gpuFailure;
    if (choice == DeviceChoice::GPU || choice == DeviceChoice::AUTO) {
        if (std::unique_ptr<host::GlContext> gpu = gl::CreateGpuContext(&gpuFailure)) {
            result.kind = DeviceChoice::GPU;
            result.name = drivers::DeviceName("GPU: ", gpu->Renderer(), "GPU");
            result.drivers = OneDeviceDriver(drivers::GlDevice(drivers::GlKind::GPU, result.name));
            return result;
        }
        if (choice == DeviceChoice::GPU) {
            result.failure = "no GPU to draw on: " + gpuFailure;
            return result;
        }
    }
    std::string softwareFailure;
    if (std::unique_ptr<host::GlContext> software = gl::CreateSoftwareContext(&softwareFailure)) {
        result.kind = DeviceChoice::SOFTWARE;
        result.name = drivers::DeviceName("Software: ", software->Renderer(), "Software");
        result.drivers = OneDeviceDriver(drivers::GlDevice(drivers::GlKind::SOFTWARE, result.name));
        return result;
    }
    result.failure = "Mesa's software rasteriser is not available through EGL: " + softwareFailure;
    if (choice == DeviceChoice::AUTO) {
        result.failure += " (and no GPU: " + gpuFailure + ")";
    }
    return result;
}

int ListDevices() {
    std::string failure;
    const std::vector<std::string> devices = gl::DescribeEglDevices(&failure);
    if (!failure.empty()) {
        std::fprintf(stderr, "lumenfall-capture: %s\n", failure.c_str());
        return 1;
    }
    std::printf("EGL devices: %zu\n", devices.size());
    for (const std::string& line : devices) {
        std::printf("%s\n", line.c_str());
    }
    return 0;
}

} // namespace capture
