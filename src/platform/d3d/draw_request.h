// What a device kind's hooks get from the common device (device_base.h), and all a drawing
// backend needs besides the state itself (device_state.h): the draw that passed the argument
// checks, and which parts of the state changed since the backend last looked. A backend such as
// platform/gl/ reads these and never the device object.
#pragma once

#include "platform/d3d/d3d.h"

namespace d3d {

// Limits of one draw call: 16-bit indices address at most this many vertices.
constexpr DWORD DEVICE_MAX_VERTICES = 0xFFFF;
constexpr DWORD DEVICE_MAX_INDICES = 3 * 0xFFFF;
constexpr DWORD DEVICE_MAX_CLEAR_RECTS = 1024;

// What changed since a device kind last looked (DeviceBase::TakeDirty).
enum DirtyFlags : DWORD {
    DIRTY_TRANSFORMS = 1u << 0,
    DIRTY_MATERIAL = 1u << 1,
    DIRTY_LIGHTS = 1u << 2,
    DIRTY_RENDER_STATES = 1u << 3,
    DIRTY_STAGE_STATES = 1u << 4,
    DIRTY_VIEWPORT = 1u << 5,
    DIRTY_TEXTURES = 1u << 6,
    DIRTY_RENDER_TARGET = 1u << 7,
    DIRTY_ALL = 0xFFu,
};

struct DrawRequest {
    D3DPRIMITIVETYPE type = D3DPT_TRIANGLELIST;
    const D3DVERTEX* vertices = nullptr;
    DWORD vertexCount = 0;
    const WORD* indices = nullptr; // null for DrawPrimitive
    DWORD indexCount = 0;
};

} // namespace d3d
