// Fake drivers for tests.
#include "platform/host/fake_drivers.h"

#include "platform/d3d/null_device.h"
#include "platform/d3d/recording_device.h"
#include "platform/host/standard_caps.h"

namespace host {

// ---- Devices -----------------------------------------------------------------------------------

FakeDeviceBuilder::FakeDeviceBuilder(const GUID& deviceGuid, std::string name) {
    device_.name = std::move(name);
    device_.description = device_.name;
    device_.desc = StandardDeviceDesc(deviceGuid, true);
    device_.textureFormats = StandardTextureFormats();
    device_.zBufferFormats = StandardZBufferFormats();
    device_.factory = d3d::RecordingDevice::Create;
}

FakeDeviceBuilder& FakeDeviceBuilder::Description(std::string text) {
    device_.description = std::move(text);
    return *this;
}

FakeDeviceBuilder& FakeDeviceBuilder::Hardware(bool hardware) {
    const DWORD bits = D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_TEXTUREVIDEOMEMORY;
    device_.desc.dwDevCaps =
        hardware ? device_.desc.dwDevCaps | bits : device_.desc.dwDevCaps & ~bits;
    return *this;
}

FakeDeviceBuilder& FakeDeviceBuilder::DevCaps(DWORD caps) {
    device_.desc.dwDevCaps = caps;
    return *this;
}

FakeDeviceBuilder& FakeDeviceBuilder::RenderDepths(DWORD depths) {
    device_.desc.dwDeviceRenderBitDepth = depths;
    return *this;
}

FakeDeviceBuilder& FakeDeviceBuilder::TextureCaps(DWORD caps) {
    device_.desc.dpcTriCaps.dwTextureCaps = caps;
    return *this;
}

FakeDeviceBuilder& FakeDeviceBuilder::RasterCaps(DWORD caps) {
    device_.desc.dpcTriCaps.dwRasterCaps = caps;
    return *this;
}

FakeDeviceBuilder& FakeDeviceBuilder::MaxTextureSize(DWORD width, DWORD height) {
    device_.desc.dwMaxTextureWidth = width;
    device_.desc.dwMaxTextureHeight = height;
    return *this;
}

FakeDeviceBuilder& FakeDeviceBuilder::TextureFormats(std::vector<DDPIXELFORMAT> formats) {
    device_.textureFormats = std::move(formats);
    return *this;
}

FakeDeviceBuilder& FakeDeviceBuilder::ZBufferFormats(std::vector<DDPIXELFORMAT> formats) {
    device_.zBufferFormats = std::move(formats);
    return *this;
}

FakeDeviceBuilder& FakeDeviceBuilder::Desc(const D3DDEVICEDESC7& desc) {
    const GUID guid = device_.desc.deviceGUID;
    device_.desc = desc;
    device_.desc.deviceGUID = guid;
    return *this;
}

FakeDeviceBuilder& FakeDeviceBuilder::Recording() {
    device_.factory = d3d::RecordingDevice::Create;
    return *this;
}

FakeDeviceBuilder& FakeDeviceBuilder::Null() {
    device_.factory = d3d::CreateNullDevice;
    return *this;
}

FakeDeviceBuilder& FakeDeviceBuilder::FailsWith(HRESULT result) {
    device_.factory = [result](const DeviceCreation&, IDirect3DDevice7** device) {
        if (device != nullptr) {
            *device = nullptr;
        }
        return result;
    };
    return *this;
}

FakeDeviceBuilder& FakeDeviceBuilder::Factory(DeviceFactory factory) {
    device_.factory = std::move(factory);
    return *this;
}

std::shared_ptr<DeviceDescription> FakeDeviceBuilder::Build() const {
    return std::make_shared<DeviceDescription>(device_);
}

// ---- Drivers -----------------------------------------------------------------------------------

FakeDriverBuilder::FakeDriverBuilder() {
    driver_.description = "Fake Display Driver";
    driver_.name = "display";
    driver_.halCaps = StandardDriverCaps();
    driver_.helCaps = StandardEmulationCaps();
    driver_.desktopMode = MakeDisplayMode(1024, 768, 32);
}

FakeDriverBuilder& FakeDriverBuilder::Guid(const GUID& guid) {
    driver_.hasGuid = true;
    driver_.guid = guid;
    return *this;
}

FakeDriverBuilder& FakeDriverBuilder::Description(std::string text) {
    driver_.description = std::move(text);
    return *this;
}

FakeDriverBuilder& FakeDriverBuilder::Name(std::string name) {
    driver_.name = std::move(name);
    return *this;
}

FakeDriverBuilder& FakeDriverBuilder::CanRenderWindowed(bool can) {
    driver_.halCaps.dwCaps2 = can ? driver_.halCaps.dwCaps2 | DDCAPS2_CANRENDERWINDOWED
                                  : driver_.halCaps.dwCaps2 & ~DDCAPS2_CANRENDERWINDOWED;
    return *this;
}

FakeDriverBuilder& FakeDriverBuilder::HalCaps(const DDCAPS& caps) {
    driver_.halCaps = caps;
    return *this;
}

FakeDriverBuilder& FakeDriverBuilder::HelCaps(const DDCAPS& caps) {
    driver_.helCaps = caps;
    return *this;
}

FakeDriverBuilder& FakeDriverBuilder::Mode(DWORD width, DWORD height, DWORD bitsPerPixel,
                                           DWORD caps2) {
    driver_.modes.push_back(MakeDisplayMode(width, height, bitsPerPixel, 60, caps2));
    return *this;
}

FakeDriverBuilder& FakeDriverBuilder::StandardModes() {
    for (const DDSURFACEDESC2& mode : StandardDisplayModes()) {
        driver_.modes.push_back(mode);
    }
    return *this;
}

FakeDriverBuilder& FakeDriverBuilder::DesktopMode(DWORD width, DWORD height, DWORD bitsPerPixel) {
    driver_.desktopMode = MakeDisplayMode(width, height, bitsPerPixel);
    return *this;
}

FakeDriverBuilder& FakeDriverBuilder::Device(const FakeDeviceBuilder& device) {
    driver_.devices.push_back(device.Build());
    return *this;
}

FakeDriverBuilder& FakeDriverBuilder::Failures(const DriverFailures& failures) {
    driver_.failures = failures;
    return *this;
}

std::shared_ptr<Driver> FakeDriverBuilder::Build() const {
    return std::make_shared<Driver>(driver_);
}

std::shared_ptr<Driver> TypicalFakeDriver() {
    return FakeDriverBuilder()
        .StandardModes()
        .Device(FakeDeviceBuilder(IID_IDirect3DHALDevice, "Fake HAL Device")
                    .Description("Fake hardware rasterisation"))
        .Device(FakeDeviceBuilder(IID_IDirect3DRGBDevice, "Fake RGB Device")
                    .Description("Fake software rasterisation")
                    .Hardware(false))
        .Build();
}

DriverSet TypicalFakeDrivers() {
    return {TypicalFakeDriver()};
}

} // namespace host
