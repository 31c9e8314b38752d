// The state-keeping part of every device. Sections: life cycle · scene and target · transforms,
// viewport, material · lights · render and stage states · textures · drawing.
#include "platform/d3d/device_base.h"

#include <cmath>

#include "platform/d3d/direct3d.h"
#include "platform/ddraw/surface.h"

namespace d3d {

namespace {

bool ValidTransform(D3DTRANSFORMSTATETYPE type) {
    return type == D3DTRANSFORMSTATE_WORLD || type == D3DTRANSFORMSTATE_VIEW ||
           type == D3DTRANSFORMSTATE_PROJECTION;
}

bool ValidLight(const D3DLIGHT7& light) {
    if (light.dltType != D3DLIGHT_POINT && light.dltType != D3DLIGHT_SPOT &&
        light.dltType != D3DLIGHT_DIRECTIONAL) {
        return false;
    }
    if (light.dltType != D3DLIGHT_POINT) {
        const D3DVECTOR& d = light.dvDirection;
        const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        if (!(length > 0.0f) || !std::isfinite(length)) {
            return false;
        }
    }
    if (light.dltType != D3DLIGHT_DIRECTIONAL && !(light.dvRange >= 0.0f)) {
        return false;
    }
    if (light.dltType == D3DLIGHT_SPOT &&
        !(light.dvTheta >= 0.0f && light.dvPhi >= light.dvTheta && light.dvPhi <= 3.1415927f)) {
        return false;
    }
    return true;
}

} // namespace

bool HasZBuffer(const ddraw::Surface* surface) {
    return surface != nullptr && surface->AttachedZBuffer() != nullptr;
}

// ---- Life cycle --------------------------------------------------------------------------------

DeviceBase::DeviceBase(const host::DeviceCreation& creation)
    : direct3D_(creation.direct3D),
      renderTarget_(ddraw::SurfaceFromInterface(creation.renderTarget)),
      description_(creation.description) {
    direct3D_->AddRef();
    renderTarget_->AddRef();
    depthInUse_ = HasZBuffer(renderTarget_);
    state_ = DefaultDeviceState(renderTarget_->Desc().dwWidth, renderTarget_->Desc().dwHeight,
                                depthInUse_);
}

DeviceBase::~DeviceBase() {
    for (IDirectDrawSurface7*& texture : state_.textures) {
        SafeRelease(texture);
    }
    renderTarget_->Release();
    direct3D_->Release();
}

HRESULT DeviceBase::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IDirect3DDevice7) {
        AddRef();
        *object = static_cast<IDirect3DDevice7*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

DWORD DeviceBase::TakeDirty() {
    const DWORD dirty = dirty_;
    dirty_ = 0;
    return dirty;
}

HRESULT DeviceBase::DoClear(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD) {
    return D3D_OK;
}

HRESULT DeviceBase::DoDraw(const DrawRequest&) {
    return D3D_OK;
}

void DeviceBase::RenderTargetChanged(ddraw::Surface*) {}

HRESULT DeviceBase::GetCaps(D3DDEVICEDESC7* desc) {
    if (desc == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *desc = description_->desc;
    return D3D_OK;
}

HRESULT DeviceBase::EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, LPVOID context) {
    if (callback == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    for (const DDPIXELFORMAT& format : description_->textureFormats) {
        DDPIXELFORMAT copy = format;
        if (callback(&copy, context) == D3DENUMRET_CANCEL) {
            break;
        }
    }
    return D3D_OK;
}

// ---- Scene and target --------------------------------------------------------------------------

HRESULT DeviceBase::BeginScene() {
    if (state_.inScene) {
        return D3DERR_SCENE_IN_SCENE;
    }
    state_.inScene = true;
    return D3D_OK;
}

HRESULT DeviceBase::EndScene() {
    if (!state_.inScene) {
        return D3DERR_SCENE_NOT_IN_SCENE;
    }
    state_.inScene = false;
    return D3D_OK;
}

HRESULT DeviceBase::GetDirect3D(IDirect3D7** direct3D) {
    if (direct3D == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    direct3D_->AddRef();
    *direct3D = direct3D_;
    return D3D_OK;
}

HRESULT DeviceBase::SetRenderTarget(IDirectDrawSurface7* surface, DWORD) {
    ddraw::Surface* target = ddraw::SurfaceFromInterface(surface);
    if (target == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    if ((target->Caps() & DDSCAPS_3DDEVICE) == 0 || target->Layout().palettised ||
        target->Layout().depth) {
        return DDERR_INVALIDCAPS;
    }
    if (target->Owner() != renderTarget_->Owner()) {
        return DDERR_INVALIDPARAMS;
    }
    // A target that gained a z-buffer takes it into use: this is how a device made before its
    // z-buffer was attached starts depth testing.
    if (HasZBuffer(target) && !depthInUse_) {
        state_.renderStates[D3DRENDERSTATE_ZENABLE] = D3DZB_TRUE;
    }
    depthInUse_ = HasZBuffer(target);
    ddraw::Surface* previous = renderTarget_;
    target->AddRef();
    renderTarget_ = target;
    const D3DVIEWPORT7& vp = state_.viewport;
    if (vp.dwX + vp.dwWidth > target->Desc().dwWidth ||
        vp.dwY + vp.dwHeight > target->Desc().dwHeight) {
        state_.viewport =
            D3DVIEWPORT7{0, 0, target->Desc().dwWidth, target->Desc().dwHeight, 0.0f, 1.0f};
    }
    dirty_ |= DIRTY_RENDER_TARGET | DIRTY_VIEWPORT | DIRTY_RENDER_STATES;
    RenderTargetChanged(previous);
    previous->Release();
    return D3D_OK;
}

HRESULT DeviceBase::GetRenderTarget(IDirectDrawSurface7** surface) {
    if (surface == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    renderTarget_->AddRef();
    *surface = renderTarget_;
    return D3D_OK;
}

HRESULT DeviceBase::Clear(DWORD count, D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                          DWORD stencil) {
    const DWORD known = D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL;
    if (flags == 0 || (flags & ~known) != 0 || (count > 0 && rects == nullptr) ||
        count > DEVICE_MAX_CLEAR_RECTS) {
        return D3DERR_INVALIDCALL;
    }
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0 && !HasZBuffer(renderTarget_)) {
        return D3DERR_ZBUFFER_NOTPRESENT;
    }
    return DoClear(count, rects, flags, color, z, stencil);
}

// ---- Transforms, viewport, material ------------------------------------------------------------

HRESULT DeviceBase::SetTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix) {
    if (matrix == nullptr || !ValidTransform(type)) {
        return D3DERR_INVALIDCALL;
    }
    D3DMATRIX& slot = type == D3DTRANSFORMSTATE_WORLD  ? state_.world
                      : type == D3DTRANSFORMSTATE_VIEW ? state_.view
                                                       : state_.projection;
    slot = *matrix;
    dirty_ |= DIRTY_TRANSFORMS;
    if (type == D3DTRANSFORMSTATE_VIEW) {
        dirty_ |= DIRTY_LIGHTS; // lights are placed in camera space
    }
    return D3D_OK;
}

HRESULT DeviceBase::GetTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix) {
    if (matrix == nullptr || !ValidTransform(type)) {
        return D3DERR_INVALIDCALL;
    }
    *matrix = type == D3DTRANSFORMSTATE_WORLD  ? state_.world
              : type == D3DTRANSFORMSTATE_VIEW ? state_.view
                                               : state_.projection;
    return D3D_OK;
}

HRESULT DeviceBase::SetViewport(D3DVIEWPORT7* viewport) {
    if (viewport == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    const D3DVIEWPORT7& vp = *viewport;
    const uint64_t right = uint64_t{vp.dwX} + vp.dwWidth;
    const uint64_t bottom = uint64_t{vp.dwY} + vp.dwHeight;
    if (vp.dwWidth == 0 || vp.dwHeight == 0 || right > renderTarget_->Desc().dwWidth ||
        bottom > renderTarget_->Desc().dwHeight ||
        !(vp.dvMinZ >= 0.0f && vp.dvMinZ <= vp.dvMaxZ && vp.dvMaxZ <= 1.0f)) {
        return D3DERR_INVALIDCALL;
    }
    state_.viewport = vp;
    dirty_ |= DIRTY_VIEWPORT;
    return D3D_OK;
}

HRESULT DeviceBase::GetViewport(D3DVIEWPORT7* viewport) {
    if (viewport == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *viewport = state_.viewport;
    return D3D_OK;
}

HRESULT DeviceBase::SetMaterial(D3DMATERIAL7* material) {
    if (material == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    state_.material = *material;
    dirty_ |= DIRTY_MATERIAL;
    return D3D_OK;
}

HRESULT DeviceBase::GetMaterial(D3DMATERIAL7* material) {
    if (material == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *material = state_.material;
    return D3D_OK;
}

// ---- Lights ------------------------------------------------------------------------------------

HRESULT DeviceBase::SetLight(DWORD index, D3DLIGHT7* light) {
    if (light == nullptr || index >= DEVICE_LIGHT_SLOTS || !ValidLight(*light)) {
        return D3DERR_INVALIDCALL;
    }
    state_.lights[index].set = true;
    state_.lights[index].light = *light;
    dirty_ |= DIRTY_LIGHTS;
    return D3D_OK;
}

HRESULT DeviceBase::GetLight(DWORD index, D3DLIGHT7* light) {
    if (light == nullptr || index >= DEVICE_LIGHT_SLOTS || !state_.lights[index].set) {
        return D3DERR_INVALIDCALL;
    }
    *light = state_.lights[index].light;
    return D3D_OK;
}

HRESULT DeviceBase::LightEnable(DWORD index, BOOL enable) {
    if (index >= DEVICE_LIGHT_SLOTS) {
        return D3DERR_INVALIDCALL;
    }
    LightSlot& slot = state_.lights[index];
    if (enable && !slot.enabled) {
        DWORD enabled = 0;
        for (const LightSlot& other : state_.lights) {
            enabled += other.enabled ? 1 : 0;
        }
        if (enabled >= DEVICE_MAX_ACTIVE_LIGHTS) {
            return D3DERR_LIGHT_SET_FAILED;
        }
    }
    if (!slot.set) {
        slot.set = true;
        slot.light = DefaultLight();
    }
    slot.enabled = enable != FALSE;
    dirty_ |= DIRTY_LIGHTS;
    return D3D_OK;
}

HRESULT DeviceBase::GetLightEnable(DWORD index, BOOL* enable) {
    if (enable == nullptr || index >= DEVICE_LIGHT_SLOTS || !state_.lights[index].set) {
        return D3DERR_INVALIDCALL;
    }
    *enable = state_.lights[index].enabled ? TRUE : FALSE;
    return D3D_OK;
}

// ---- Render and stage states -------------------------------------------------------------------

HRESULT DeviceBase::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (state == 0 || state >= DEVICE_RENDER_STATES) {
        return D3DERR_INVALIDCALL;
    }
    state_.renderStates[state] = value;
    dirty_ |= state == D3DRENDERSTATE_AMBIENT || state == D3DRENDERSTATE_LIGHTING
                  ? DIRTY_RENDER_STATES | DIRTY_LIGHTS
                  : DIRTY_RENDER_STATES;
    return D3D_OK;
}

HRESULT DeviceBase::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    if (value == nullptr || state == 0 || state >= DEVICE_RENDER_STATES) {
        return D3DERR_INVALIDCALL;
    }
    *value = state_.renderStates[state];
    return D3D_OK;
}

HRESULT DeviceBase::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) {
    if (stage >= DEVICE_STAGES || state == 0 || state >= DEVICE_STAGE_STATES) {
        return D3DERR_INVALIDCALL;
    }
    DWORD* states = state_.stageStates[stage];
    states[state] = value;
    // The old combined addressing state sets both directions.
    if (state == D3DTSS_ADDRESS) {
        states[D3DTSS_ADDRESSU] = value;
        states[D3DTSS_ADDRESSV] = value;
    }
    dirty_ |= DIRTY_STAGE_STATES;
    return D3D_OK;
}

HRESULT DeviceBase::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state,
                                         DWORD* value) {
    if (value == nullptr || stage >= DEVICE_STAGES || state == 0 || state >= DEVICE_STAGE_STATES) {
        return D3DERR_INVALIDCALL;
    }
    *value = state_.stageStates[stage][state];
    return D3D_OK;
}

// ---- Textures ----------------------------------------------------------------------------------

HRESULT DeviceBase::SetTexture(DWORD stage, IDirectDrawSurface7* texture) {
    if (stage >= DEVICE_STAGES) {
        return D3DERR_INVALIDCALL;
    }
    if (texture != nullptr) {
        ddraw::Surface* surface = ddraw::SurfaceFromInterface(texture);
        if (surface == nullptr || surface->Owner() != renderTarget_->Owner()) {
            return DDERR_INVALIDPARAMS;
        }
        if ((surface->Caps() & DDSCAPS_TEXTURE) == 0 || surface->Layout().depth) {
            return DDERR_INVALIDCAPS;
        }
        texture->AddRef();
    }
    SafeRelease(state_.textures[stage]);
    state_.textures[stage] = texture;
    dirty_ |= DIRTY_TEXTURES;
    return D3D_OK;
}

HRESULT DeviceBase::GetTexture(DWORD stage, IDirectDrawSurface7** texture) {
    if (texture == nullptr || stage >= DEVICE_STAGES) {
        return D3DERR_INVALIDCALL;
    }
    *texture = state_.textures[stage];
    if (*texture != nullptr) {
        (*texture)->AddRef();
    }
    return D3D_OK;
}

// ---- Drawing -----------------------------------------------------------------------------------

HRESULT DeviceBase::CheckDraw(D3DPRIMITIVETYPE type, DWORD vertexFormat, const void* vertices,
                              DWORD vertexCount) const {
    if (!state_.inScene) {
        return D3DERR_SCENE_NOT_IN_SCENE;
    }
    if (vertexFormat != D3DFVF_VERTEX) {
        return D3DERR_INVALIDVERTEXFORMAT;
    }
    if (type < D3DPT_POINTLIST || type > D3DPT_TRIANGLEFAN || vertexCount > DEVICE_MAX_VERTICES ||
        (vertexCount > 0 && vertices == nullptr)) {
        return D3DERR_INVALIDCALL;
    }
    return D3D_OK;
}

HRESULT DeviceBase::DrawPrimitive(D3DPRIMITIVETYPE type, DWORD vertexFormat, LPVOID vertices,
                                  DWORD vertexCount, DWORD) {
    if (HRESULT result = CheckDraw(type, vertexFormat, vertices, vertexCount); result != D3D_OK) {
        return result;
    }
    if (vertexCount == 0) {
        return D3D_OK;
    }
    DrawRequest request;
    request.type = type;
    request.vertices = static_cast<const D3DVERTEX*>(vertices);
    request.vertexCount = vertexCount;
    return DoDraw(request);
}

HRESULT DeviceBase::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, DWORD vertexFormat, LPVOID vertices,
                                         DWORD vertexCount, WORD* indices, DWORD indexCount,
                                         DWORD) {
    if (HRESULT result = CheckDraw(type, vertexFormat, vertices, vertexCount); result != D3D_OK) {
        return result;
    }
    if (indexCount > DEVICE_MAX_INDICES || (indexCount > 0 && indices == nullptr)) {
        return D3DERR_INVALIDCALL;
    }
    // Every index must name a vertex that was given: the device never reads past the array.
    for (DWORD i = 0; i < indexCount; ++i) {
        if (indices[i] >= vertexCount) {
            return D3DERR_INVALIDCALL;
        }
    }
    if (indexCount == 0 || vertexCount == 0) {
        return D3D_OK;
    }
    DrawRequest request;
    request.type = type;
    request.vertices = static_cast<const D3DVERTEX*>(vertices);
    request.vertexCount = vertexCount;
    request.indices = indices;
    request.indexCount = indexCount;
    return DoDraw(request);
}

} // namespace d3d
