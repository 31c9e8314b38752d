// Drivers with chosen capabilities, devices, modes and formats, for tests.
//
//   host::ScopedDrivers drivers(host::TypicalFakeDrivers());   // the usual case, in one line
//
//   host::ScopedDrivers drivers({host::FakeDriverBuilder()
//                                    .Mode(640, 480, 16)
//                                    .DesktopMode(1024, 768, 8)
//                                    .Device(host::FakeDeviceBuilder(IID_IDirect3DHALDevice, "HAL")
//                                                .RenderDepths(DDBD_16)
//                                                .FailsWith(DDERR_OUTOFVIDEOMEMORY))
//                                    .Build()});
//
// Devices record by default (d3d/recording_device.h). Every record starts from the platform's
// own (standard_caps.h), so a builder only states what a test changes.
#pragma once

#include "platform/host/drivers.h"

namespace host {

class FakeDeviceBuilder {
public:
    // A hardware-rasterising device (D3DDEVCAPS_HWRASTERIZATION) unless Hardware(false) follows.
    FakeDeviceBuilder(const GUID& deviceGuid, std::string name);

    FakeDeviceBuilder& Description(std::string text);
    FakeDeviceBuilder& Hardware(bool hardware);
    FakeDeviceBuilder& DevCaps(DWORD caps);        // replaces dwDevCaps
    FakeDeviceBuilder& RenderDepths(DWORD depths); // dwDeviceRenderBitDepth (DDBD_ bits)
    FakeDeviceBuilder& TextureCaps(DWORD caps);    // dpcTriCaps.dwTextureCaps
    FakeDeviceBuilder& RasterCaps(DWORD caps);     // dpcTriCaps.dwRasterCaps
    FakeDeviceBuilder& MaxTextureSize(DWORD width, DWORD height);
    FakeDeviceBuilder& TextureFormats(std::vector<DDPIXELFORMAT> formats);
    FakeDeviceBuilder& ZBufferFormats(std::vector<DDPIXELFORMAT> formats);
    FakeDeviceBuilder& Desc(const D3DDEVICEDESC7& desc); // replaces the whole record but its GUID

    FakeDeviceBuilder& Recording();               // the recording device (the default)
    FakeDeviceBuilder& Null();                    // the null device
    FakeDeviceBuilder& FailsWith(HRESULT result); // CreateDevice answers this
    FakeDeviceBuilder& Factory(DeviceFactory factory);

    std::shared_ptr<DeviceDescription> Build() const;

private:
    DeviceDescription device_;
};

class FakeDriverBuilder {
public:
    // The primary display driver ("Fake Display Driver", no GUID) with the standard
    // capabilities (it can render in a window), a 1024 x 768 x 32 desktop, no modes, no devices.
    FakeDriverBuilder();

    FakeDriverBuilder& Guid(const GUID& guid); // makes it a secondary driver
    FakeDriverBuilder& Description(std::string text);
    FakeDriverBuilder& Name(std::string name);
    FakeDriverBuilder& CanRenderWindowed(bool can);
    FakeDriverBuilder& HalCaps(const DDCAPS& caps);
    FakeDriverBuilder& HelCaps(const DDCAPS& caps);
    FakeDriverBuilder& Mode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD caps2 = 0);
    FakeDriverBuilder& StandardModes(); // the platform's fifteen
    FakeDriverBuilder& DesktopMode(DWORD width, DWORD height, DWORD bitsPerPixel);
    FakeDriverBuilder& Device(const FakeDeviceBuilder& device);
    FakeDriverBuilder& Failures(const DriverFailures& failures);

    std::shared_ptr<Driver> Build() const;

private:
    Driver driver_;
};

// The primary driver with the platform's modes, caps and formats and two recording devices: a
// hardware one (IID_IDirect3DHALDevice, "Fake HAL Device") and a software one
// (IID_IDirect3DRGBDevice, "Fake RGB Device").
std::shared_ptr<Driver> TypicalFakeDriver();
DriverSet TypicalFakeDrivers();

} // namespace host
