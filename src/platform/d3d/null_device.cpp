// The null device.
#include "platform/d3d/null_device.h"

namespace d3d {

namespace {

class NullDevice final : public DeviceBase {
public:
    explicit NullDevice(const host::DeviceCreation& creation) : DeviceBase(creation) {}
};

} // namespace

HRESULT CreateNullDevice(const host::DeviceCreation& creation, IDirect3DDevice7** device) {
    if (device == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *device = new NullDevice(creation);
    return D3D_OK;
}

} // namespace d3d
