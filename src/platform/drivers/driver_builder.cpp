// Driver and device records from the platform's standard ones.
#include "platform/drivers/driver_builder.h"

#include "platform/d3d/direct3d.h"
#include "platform/ddraw/pixel_formats.h"
#include "platform/drivers/standard_caps.h"
#include "platform/gl/gl_device.h"
#include "platform/host/host.h"
#include "platform/host/presentation_options.h"

namespace drivers {

// ---- Devices -----------------------------------------------------------------------------------

DeviceBuilder::DeviceBuilder(const GUID& deviceGuid, std::string name) {
    device_.name = std::move(name);
    device_.description = device_.name;
    device_.desc = StandardDeviceDesc(deviceGuid, true);
    device_.textureFormats = StandardTextureFormats();
    device_.zBufferFormats = StandardZBufferFormats();
}

DeviceBuilder& DeviceBuilder::Description(std::string text) {
    device_.description = std::move(text);
    return *this;
}

DeviceBuilder& DeviceBuilder::Hardware(bool hardware) {
    const DWORD bits = D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_TEXTUREVIDEOMEMORY;
    device_.desc.dwDevCaps =
        hardware ? device_.desc.dwDevCaps | bits : device_.desc.dwDevCaps & ~bits;
    return *this;
}

DeviceBuilder& DeviceBuilder::RenderDepths(DWORD depths) {
    device_.desc.dwDeviceRenderBitDepth = depths;
    return *this;
}

DeviceBuilder& DeviceBuilder::TextureCaps(DWORD caps) {
    device_.desc.dpcTriCaps.dwTextureCaps = caps;
    return *this;
}

DeviceBuilder& DeviceBuilder::RasterCaps(DWORD caps) {
    device_.desc.dpcTriCaps.dwRasterCaps = caps;
    return *this;
}

DeviceBuilder& DeviceBuilder::MaxTextureSize(DWORD width, DWORD height) {
    device_.desc.dwMaxTextureWidth = width;
    device_.desc.dwMaxTextureHeight = height;
    return *this;
}

DeviceBuilder& DeviceBuilder::TextureFormats(std::vector<DDPIXELFORMAT> formats) {
    device_.textureFormats = std::move(formats);
    return *this;
}

DeviceBuilder& DeviceBuilder::ZBufferFormats(std::vector<DDPIXELFORMAT> formats) {
    device_.zBufferFormats = std::move(formats);
    return *this;
}

DeviceBuilder& DeviceBuilder::Desc(const D3DDEVICEDESC7& desc) {
    const GUID guid = device_.desc.deviceGUID;
    device_.desc = desc;
    device_.desc.deviceGUID = guid;
    return *this;
}

DeviceBuilder& DeviceBuilder::FailsWith(HRESULT result) {
    device_.factory = [result](const host::DeviceCreation&, IDirect3DDevice7** device) {
        if (device != nullptr) {
            *device = nullptr;
        }
        return result;
    };
    return *this;
}

DeviceBuilder& DeviceBuilder::Factory(host::DeviceFactory factory) {
    device_.factory = std::move(factory);
    return *this;
}

std::shared_ptr<host::DeviceDescription> DeviceBuilder::Build() const {
    return std::make_shared<host::DeviceDescription>(device_);
}

// ---- Drivers -----------------------------------------------------------------------------------

DriverBuilder::DriverBuilder() {
    driver_.description = "Primary Display Driver";
    driver_.name = "display";
    driver_.halCaps = StandardDriverCaps();
    driver_.helCaps = StandardEmulationCaps();
    driver_.desktopMode = MakeDisplayMode(1024, 768, 32);
    driver_.direct3D = d3d::CreateDirect3D;
}

DriverBuilder& DriverBuilder::Guid(const GUID& guid) {
    driver_.hasGuid = true;
    driver_.guid = guid;
    return *this;
}

DriverBuilder& DriverBuilder::Description(std::string text) {
    driver_.description = std::move(text);
    return *this;
}

DriverBuilder& DriverBuilder::Name(std::string name) {
    driver_.name = std::move(name);
    return *this;
}

DriverBuilder& DriverBuilder::Mode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD caps2) {
    driver_.modes.push_back(MakeDisplayMode(width, height, bitsPerPixel, 60, caps2));
    return *this;
}

DriverBuilder& DriverBuilder::StandardModes() {
    for (const DDSURFACEDESC2& mode : StandardDisplayModes()) {
        driver_.modes.push_back(mode);
    }
    return *this;
}

DriverBuilder& DriverBuilder::DesktopMode(DWORD width, DWORD height, DWORD bitsPerPixel) {
    driver_.desktopMode = MakeDisplayMode(width, height, bitsPerPixel);
    return *this;
}

DriverBuilder& DriverBuilder::Device(const DeviceBuilder& device) {
    driver_.devices.push_back(device.Build());
    return *this;
}

DriverBuilder& DriverBuilder::Failures(const host::DriverFailures& failures) {
    driver_.failures = failures;
    return *this;
}

std::shared_ptr<host::Driver> DriverBuilder::Build() const {
    return std::make_shared<host::Driver>(driver_);
}

DriverBuilder PrimaryDriver() {
    // The desktop is always deep colour here; its size is the host's screen.
    const RECT desktop = host::Windows().DesktopRect();
    return DriverBuilder().StandardModes().DesktopMode(
        static_cast<DWORD>(desktop.right - desktop.left),
        static_cast<DWORD>(desktop.bottom - desktop.top), 32);
}

DeviceBuilder GlDevice(GlKind kind, std::string name) {
    // The program picks the first listed format of its images' own depth, and falls back to
    // 16 bits: its 24-bit pictures become true-colour textures only where a 24-bit format is
    // listed, which the presentation options' 32-bit colour asks for.
    std::vector<DDPIXELFORMAT> formats = StandardTextureFormats();
    if (host::GetPresentationOptions().trueColour) {
        formats.insert(formats.begin(), ddraw::MakePixelFormat(ddraw::PixelKind::RGB888));
    }
    switch (kind) {
    case GlKind::WINDOW:
        return DeviceBuilder(IID_IDirect3DHALDevice, std::move(name))
            .TextureFormats(formats)
            .Factory(gl::CreateWindowGlDevice);
    case GlKind::SOFTWARE:
        return DeviceBuilder(IID_IDirect3DRGBDevice, std::move(name))
            .Hardware(false)
            .TextureFormats(formats)
            .Factory(gl::CreateSoftwareGlDevice);
    case GlKind::GPU:
        break;
    }
    return DeviceBuilder(IID_IDirect3DHALDevice, std::move(name))
        .TextureFormats(formats)
        .Factory(gl::CreateGpuGlDevice);
}

std::string DeviceName(const std::string& prefix, const std::string& renderer,
                       const std::string& fallback) {
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

} // namespace drivers
