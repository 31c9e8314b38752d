// The null device: accepts every call, keeps the state so that getters answer, draws nothing.
#pragma once

#include "platform/d3d/device_base.h"

namespace d3d {

// A device factory (see host::DeviceFactory).
HRESULT CreateNullDevice(const host::DeviceCreation& creation, IDirect3DDevice7** device);

} // namespace d3d
