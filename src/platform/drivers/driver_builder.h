// The one way driver records are made: the real set (real_drivers.h), the capture tool's
// offscreen driver and the tests' fake drivers all start here, so they report the same
// capabilities, modes and formats unless they say otherwise.
//
//   host::ScopedDrivers drivers({drivers::PrimaryDriver()
//                                    .Device(drivers::GlDevice(drivers::GlKind::SOFTWARE, "EGL"))
//                                    .Build()});
//
//   drivers::DriverBuilder()
//       .Mode(640, 480, 16)
//       .DesktopMode(1024, 768, 8)
//       .Device(drivers::DeviceBuilder(IID_IDirect3DHALDevice, "HAL")
//                   .RenderDepths(DDBD_16)
//                   .FailsWith(DDERR_OUTOFVIDEOMEMORY))
//       .Build();
//
// Every record starts from the platform's own (standard_caps.h), so a builder only states what
// differs.
#pragma once

#include <string>

#include "platform/host/drivers.h"

namespace drivers {

class DeviceBuilder {
public:
    // A hardware-rasterising device (D3DDEVCAPS_HWRASTERIZATION) unless Hardware(false) follows,
    // described by its name, with no factory (CreateDevice fails with DDERR_UNSUPPORTED).
    DeviceBuilder(const GUID& deviceGuid, std::string name);

    DeviceBuilder& Description(std::string text);
    DeviceBuilder& Hardware(bool hardware);
    DeviceBuilder& RenderDepths(DWORD depths); // dwDeviceRenderBitDepth (DDBD_ bits)
    DeviceBuilder& TextureCaps(DWORD caps);    // dpcTriCaps.dwTextureCaps
    DeviceBuilder& RasterCaps(DWORD caps);     // dpcTriCaps.dwRasterCaps
    DeviceBuilder& MaxTextureSize(DWORD width, DWORD height);
    DeviceBuilder& TextureFormats(std::vector<DDPIXELFORMAT> formats);
    DeviceBuilder& ZBufferFormats(std::vector<DDPIXELFORMAT> formats);
    DeviceBuilder& Desc(const D3DDEVICEDESC7& desc); // replaces the whole record but its GUID

    DeviceBuilder& Factory(host::DeviceFactory factory);
    DeviceBuilder& FailsWith(HRESULT result); // CreateDevice answers this

    std::shared_ptr<host::DeviceDescription> Build() const;

private:
    host::DeviceDescription device_;
};

class DriverBuilder {
public:
    // The primary display driver ("Primary Display Driver", no GUID) with the standard
    // capabilities (it can render in a window) and the Direct3D of this platform, a
    // 1024 x 768 x 32 desktop, no modes, no devices.
    DriverBuilder();

    DriverBuilder& Guid(const GUID& guid); // makes it a secondary driver
    DriverBuilder& Description(std::string text);
    DriverBuilder& Name(std::string name);
    DriverBuilder& Mode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD caps2 = 0);
    DriverBuilder& StandardModes(); // the platform's fifteen
    DriverBuilder& DesktopMode(DWORD width, DWORD height, DWORD bitsPerPixel);
    DriverBuilder& Device(const DeviceBuilder& device);
    DriverBuilder& Failures(const host::DriverFailures& failures);

    std::shared_ptr<host::Driver> Build() const;

private:
    host::Driver driver_;
};

// The platform's primary display driver as a run sees it: the standard modes, and a deep-colour
// desktop the size of the window backend's screen.
DriverBuilder PrimaryDriver();

// The GL devices (see gl/gl_device.h): the hardware-class one on the window's own context, Mesa's
// software rasteriser offscreen, and a GPU offscreen. The window and GPU devices are HAL devices
// with hardware rasterisation, the software one an RGB device without. They list a 24-bit
// texture format too when the presentation options (installed before) ask for 32-bit colour.
enum class GlKind { WINDOW, SOFTWARE, GPU };
DeviceBuilder GlDevice(GlKind kind, std::string name);

// The device list shows at most this many characters of a name.
constexpr size_t DEVICE_NAME_LIMIT = 38;
// "prefix + renderer" cut to the list's width. Renderer strings run long ("llvmpipe (LLVM
// 15.0.6, 256 bits)"), so when the whole does not fit the part in brackets goes first, then the
// tail. An empty renderer (nothing found) gives `fallback`.
std::string DeviceName(const std::string& prefix, const std::string& renderer,
                       const std::string& fallback);

} // namespace drivers
