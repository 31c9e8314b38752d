// IDirect3D7 over the driver's device descriptions.
#include "platform/d3d/direct3d.h"

#include "platform/ddraw/direct_draw.h"
#include "platform/ddraw/surface.h"
#include "platform/win32/com_object.h"

namespace d3d {

namespace {

class Direct3D final : public ComObject<IDirect3D7> {
public:
    explicit Direct3D(ddraw::DirectDraw* directDraw) : directDraw_(directDraw) {
        directDraw_->AddRef();
    }

    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (riid == IID_IUnknown || riid == IID_IDirect3D7) {
            AddRef();
            *object = static_cast<IDirect3D7*>(this);
            return S_OK;
        }
        if (riid == IID_IDirectDraw7) {
            return directDraw_->QueryInterface(riid, object);
        }
        return E_NOINTERFACE;
    }

    HRESULT EnumDevices(LPD3DENUMDEVICESCALLBACK7 callback, LPVOID context) override {
        if (callback == nullptr) {
            return DDERR_INVALIDPARAMS;
        }
        // Copies: the callback gets writable strings and records, and may do anything.
        const auto devices = directDraw_->Driver().devices;
        for (const auto& device : devices) {
            std::string description = device->description;
            std::string name = device->name;
            D3DDEVICEDESC7 desc = device->desc;
            if (callback(description.data(), name.data(), &desc, context) == D3DENUMRET_CANCEL) {
                break;
            }
        }
        return D3D_OK;
    }

    HRESULT CreateDevice(REFGUID deviceGuid, IDirectDrawSurface7* renderTarget,
                         IDirect3DDevice7** device) override {
        if (device == nullptr) {
            return DDERR_INVALIDPARAMS;
        }
        *device = nullptr;
        auto description = FindDevice(deviceGuid);
        ddraw::Surface* target = ddraw::SurfaceFromInterface(renderTarget);
        if (description == nullptr || target == nullptr) {
            return DDERR_INVALIDPARAMS;
        }
        if ((target->Caps() & DDSCAPS_3DDEVICE) == 0 || target->Layout().palettised ||
            target->Layout().depth) {
            return DDERR_INVALIDCAPS;
        }
        if (target->Owner() != directDraw_) {
            return DDERR_INVALIDPARAMS;
        }
        if ((RenderDepthBit(target) & description->desc.dwDeviceRenderBitDepth) == 0) {
            return DDERR_INVALIDPIXELFORMAT; // the device cannot render at this depth
        }
        if (!description->factory) {
            return DDERR_UNSUPPORTED;
        }
        host::DeviceCreation creation;
        creation.direct3D = this;
        creation.renderTarget = renderTarget;
        creation.description = description;
        return description->factory(creation, device);
    }

    HRESULT EnumZBufferFormats(REFGUID deviceGuid, LPD3DENUMPIXELFORMATSCALLBACK callback,
                               LPVOID context) override {
        auto description = FindDevice(deviceGuid);
        if (callback == nullptr || description == nullptr) {
            return DDERR_INVALIDPARAMS;
        }
        const auto formats = description->zBufferFormats;
        for (const DDPIXELFORMAT& format : formats) {
            DDPIXELFORMAT copy = format;
            if (callback(&copy, context) == D3DENUMRET_CANCEL) {
                break;
            }
        }
        return D3D_OK;
    }

    HRESULT EvictManagedTextures() override { return D3D_OK; }

private:
    ~Direct3D() override { directDraw_->Release(); }

    std::shared_ptr<const host::DeviceDescription> FindDevice(REFGUID guid) const {
        for (const auto& device : directDraw_->Driver().devices) {
            if (device->desc.deviceGUID == guid) {
                return device;
            }
        }
        return nullptr;
    }

    static DWORD RenderDepthBit(const ddraw::Surface* target) {
        switch (target->Layout().bytesPerPixel) {
        case 2:
            return DDBD_16;
        case 3:
            return DDBD_24;
        case 4:
            return DDBD_32;
        default:
            return 0;
        }
    }

    ddraw::DirectDraw* directDraw_;
};

} // namespace

IDirect3D7* CreateDirect3D(IDirectDraw7* directDraw) {
    return new Direct3D(static_cast<ddraw::DirectDraw*>(directDraw));
}

} // namespace d3d
