// The state a 3D device keeps: render and texture-stage states, transforms, material, lights,
// viewport and textures, with the platform's defaults for a new device.
#pragma once

#include "platform/d3d/d3d.h"

namespace d3d {

constexpr DWORD DEVICE_RENDER_STATES = 256;
constexpr DWORD DEVICE_STAGES = 8;
constexpr DWORD DEVICE_STAGE_STATES = 32;
// Light indices the device accepts, and how many may be enabled at once.
constexpr DWORD DEVICE_LIGHT_SLOTS = 64;
constexpr DWORD DEVICE_MAX_ACTIVE_LIGHTS = 8;

struct LightSlot {
    bool set = false;
    bool enabled = false;
    D3DLIGHT7 light{};
};

struct DeviceState {
    DWORD renderStates[DEVICE_RENDER_STATES]{};
    DWORD stageStates[DEVICE_STAGES][DEVICE_STAGE_STATES]{};
    D3DMATRIX world{};
    D3DMATRIX view{};
    D3DMATRIX projection{};
    D3DMATERIAL7 material{};
    LightSlot lights[DEVICE_LIGHT_SLOTS];
    D3DVIEWPORT7 viewport{};
    // Textures by stage; the device holds a reference to each (the record itself does not).
    IDirectDrawSurface7* textures[DEVICE_STAGES]{};
    bool inScene = false;
};

// A new device's state: lighting on, counter-clockwise culling, blending off with source one and
// destination zero, z-buffering on exactly when the render target has a z-buffer, stage 0
// modulating texture and diffuse colour, wrap addressing, point filters, ambient 0, identity
// transforms, a viewport over the whole target.
DeviceState DefaultDeviceState(DWORD targetWidth, DWORD targetHeight, bool hasZBuffer);

// The light LightEnable makes for an index that was never set: white, directional, along +z.
D3DLIGHT7 DefaultLight();

D3DMATRIX IdentityMatrix();

} // namespace d3d
