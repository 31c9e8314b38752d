// The recording device: logging, and replaying the log to answer the state at any call.
#include "platform/d3d/recording_device.h"

#include <utility>

namespace d3d {

namespace {

RecordingDevice*& LatestDevice() {
    static RecordingDevice* latest = nullptr;
    return latest;
}

// Applies a successful state-changing call to a state record, as the device did.
void Apply(DeviceState& state, const DeviceCall& call) {
    switch (call.method) {
    case DeviceMethod::BeginScene:
        state.inScene = true;
        break;
    case DeviceMethod::EndScene:
        state.inScene = false;
        break;
    case DeviceMethod::SetRenderTarget:
        state.renderStates[D3DRENDERSTATE_ZENABLE] = call.value;
        break;
    case DeviceMethod::SetTransform:
        (call.id == D3DTRANSFORMSTATE_WORLD  ? state.world
         : call.id == D3DTRANSFORMSTATE_VIEW ? state.view
                                             : state.projection) = call.matrix;
        break;
    case DeviceMethod::SetViewport:
        state.viewport = call.viewport;
        break;
    case DeviceMethod::SetMaterial:
        state.material = call.material;
        break;
    case DeviceMethod::SetLight:
        state.lights[call.id].set = true;
        state.lights[call.id].light = call.light;
        break;
    case DeviceMethod::LightEnable:
        if (!state.lights[call.id].set) {
            state.lights[call.id].set = true;
            state.lights[call.id].light = DefaultLight();
        }
        state.lights[call.id].enabled = call.value != FALSE;
        break;
    case DeviceMethod::SetRenderState:
        state.renderStates[call.id] = call.value;
        break;
    case DeviceMethod::SetTextureStageState:
        state.stageStates[call.stage][call.id] = call.value;
        if (call.id == D3DTSS_ADDRESS) {
            state.stageStates[call.stage][D3DTSS_ADDRESSU] = call.value;
            state.stageStates[call.stage][D3DTSS_ADDRESSV] = call.value;
        }
        break;
    case DeviceMethod::SetTexture:
        state.textures[call.stage] = call.surface;
        break;
    default:
        break;
    }
}

} // namespace

const char* MethodName(DeviceMethod method) {
    switch (method) {
    case DeviceMethod::GetCaps:
        return "GetCaps";
    case DeviceMethod::EnumTextureFormats:
        return "EnumTextureFormats";
    case DeviceMethod::BeginScene:
        return "BeginScene";
    case DeviceMethod::EndScene:
        return "EndScene";
    case DeviceMethod::GetDirect3D:
        return "GetDirect3D";
    case DeviceMethod::SetRenderTarget:
        return "SetRenderTarget";
    case DeviceMethod::GetRenderTarget:
        return "GetRenderTarget";
    case DeviceMethod::Clear:
        return "Clear";
    case DeviceMethod::SetTransform:
        return "SetTransform";
    case DeviceMethod::GetTransform:
        return "GetTransform";
    case DeviceMethod::SetViewport:
        return "SetViewport";
    case DeviceMethod::GetViewport:
        return "GetViewport";
    case DeviceMethod::SetMaterial:
        return "SetMaterial";
    case DeviceMethod::GetMaterial:
        return "GetMaterial";
    case DeviceMethod::SetLight:
        return "SetLight";
    case DeviceMethod::GetLight:
        return "GetLight";
    case DeviceMethod::LightEnable:
        return "LightEnable";
    case DeviceMethod::GetLightEnable:
        return "GetLightEnable";
    case DeviceMethod::SetRenderState:
        return "SetRenderState";
    case DeviceMethod::GetRenderState:
        return "GetRenderState";
    case DeviceMethod::DrawPrimitive:
        return "DrawPrimitive";
    case DeviceMethod::DrawIndexedPrimitive:
        return "DrawIndexedPrimitive";
    case DeviceMethod::GetTexture:
        return "GetTexture";
    case DeviceMethod::SetTexture:
        return "SetTexture";
    case DeviceMethod::GetTextureStageState:
        return "GetTextureStageState";
    case DeviceMethod::SetTextureStageState:
        return "SetTextureStageState";
    }
    return "?";
}

// ---- Life cycle and queries --------------------------------------------------------------------

RecordingDevice::RecordingDevice(const host::DeviceCreation& creation)
    : DeviceBase(creation), baseline_(State()) {
    LatestDevice() = this;
}

RecordingDevice::~RecordingDevice() {
    if (LatestDevice() == this) {
        LatestDevice() = nullptr;
    }
}

HRESULT RecordingDevice::Create(const host::DeviceCreation& creation, IDirect3DDevice7** device) {
    if (device == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *device = new RecordingDevice(creation);
    return D3D_OK;
}

RecordingDevice* RecordingDevice::From(IDirect3DDevice7* device) {
    return dynamic_cast<RecordingDevice*>(device);
}

RecordingDevice* RecordingDevice::Latest() {
    return LatestDevice();
}

void RecordingDevice::ClearLog() {
    calls_.clear();
    draws_.clear();
    baseline_ = State();
}

std::vector<const DeviceCall*> RecordingDevice::CallsOf(DeviceMethod method) const {
    std::vector<const DeviceCall*> found;
    for (const DeviceCall& call : calls_) {
        if (call.method == method) {
            found.push_back(&call);
        }
    }
    return found;
}

size_t RecordingDevice::CountOf(DeviceMethod method) const {
    size_t count = 0;
    for (const DeviceCall& call : calls_) {
        count += call.method == method ? 1 : 0;
    }
    return count;
}

size_t RecordingDevice::DrawCount() const {
    return draws_.size();
}

const DeviceCall& RecordingDevice::Draw(size_t n) const {
    return calls_.at(draws_.at(n));
}

DeviceState RecordingDevice::StateBefore(size_t callIndex) const {
    DeviceState state = baseline_;
    for (size_t i = 0; i < callIndex && i < calls_.size(); ++i) {
        if (calls_[i].result == D3D_OK) {
            Apply(state, calls_[i]);
        }
    }
    return state;
}

DeviceState RecordingDevice::StateAtDraw(size_t n) const {
    return StateBefore(draws_.at(n));
}

DeviceCall RecordingDevice::Call(DeviceMethod method, HRESULT result) const {
    DeviceCall call;
    call.method = method;
    call.result = result;
    return call;
}

void RecordingDevice::Log(DeviceCall call) {
    if (!recording_) {
        return;
    }
    if (call.IsDraw()) {
        draws_.push_back(calls_.size());
    }
    calls_.push_back(std::move(call));
}

// ---- Calls -------------------------------------------------------------------------------------

HRESULT RecordingDevice::GetCaps(D3DDEVICEDESC7* desc) {
    HRESULT result = DeviceBase::GetCaps(desc);
    Log(Call(DeviceMethod::GetCaps, result));
    return result;
}

HRESULT RecordingDevice::EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback,
                                            LPVOID context) {
    HRESULT result = DeviceBase::EnumTextureFormats(callback, context);
    Log(Call(DeviceMethod::EnumTextureFormats, result));
    return result;
}

HRESULT RecordingDevice::BeginScene() {
    HRESULT result = DeviceBase::BeginScene();
    Log(Call(DeviceMethod::BeginScene, result));
    return result;
}

HRESULT RecordingDevice::EndScene() {
    HRESULT result = DeviceBase::EndScene();
    Log(Call(DeviceMethod::EndScene, result));
    return result;
}

HRESULT RecordingDevice::GetDirect3D(IDirect3D7** direct3D) {
    HRESULT result = DeviceBase::GetDirect3D(direct3D);
    Log(Call(DeviceMethod::GetDirect3D, result));
    return result;
}

HRESULT RecordingDevice::SetRenderTarget(IDirectDrawSurface7* surface, DWORD flags) {
    HRESULT result = DeviceBase::SetRenderTarget(surface, flags);
    DeviceCall call = Call(DeviceMethod::SetRenderTarget, result);
    call.surface = surface;
    call.value = State().renderStates[D3DRENDERSTATE_ZENABLE];
    Log(std::move(call));
    return result;
}

HRESULT RecordingDevice::GetRenderTarget(IDirectDrawSurface7** surface) {
    HRESULT result = DeviceBase::GetRenderTarget(surface);
    DeviceCall call = Call(DeviceMethod::GetRenderTarget, result);
    call.surface = surface != nullptr && result == D3D_OK ? *surface : nullptr;
    Log(std::move(call));
    return result;
}

HRESULT RecordingDevice::Clear(DWORD count, D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                               DWORD stencil) {
    HRESULT result = DeviceBase::Clear(count, rects, flags, color, z, stencil);
    DeviceCall call = Call(DeviceMethod::Clear, result);
    if (rects != nullptr && count <= DEVICE_MAX_CLEAR_RECTS) {
        call.rects.assign(rects, rects + count);
    }
    call.value = flags;
    call.color = color;
    call.z = z;
    call.stencil = stencil;
    Log(std::move(call));
    return result;
}

HRESULT RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix) {
    HRESULT result = DeviceBase::SetTransform(type, matrix);
    DeviceCall call = Call(DeviceMethod::SetTransform, result);
    call.id = type;
    if (matrix != nullptr) {
        call.matrix = *matrix;
    }
    Log(std::move(call));
    return result;
}

HRESULT RecordingDevice::GetTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix) {
    HRESULT result = DeviceBase::GetTransform(type, matrix);
    DeviceCall call = Call(DeviceMethod::GetTransform, result);
    call.id = type;
    if (result == D3D_OK) {
        call.matrix = *matrix;
    }
    Log(std::move(call));
    return result;
}

HRESULT RecordingDevice::SetViewport(D3DVIEWPORT7* viewport) {
    HRESULT result = DeviceBase::SetViewport(viewport);
    DeviceCall call = Call(DeviceMethod::SetViewport, result);
    if (viewport != nullptr) {
        call.viewport = *viewport;
    }
    Log(std::move(call));
    return result;
}

HRESULT RecordingDevice::GetViewport(D3DVIEWPORT7* viewport) {
    HRESULT result = DeviceBase::GetViewport(viewport);
    DeviceCall call = Call(DeviceMethod::GetViewport, result);
    if (result == D3D_OK) {
        call.viewport = *viewport;
    }
    Log(std::move(call));
    return result;
}

HRESULT RecordingDevice::SetMaterial(D3DMATERIAL7* material) {
    HRESULT result = DeviceBase::SetMaterial(material);
    DeviceCall call = Call(DeviceMethod::SetMaterial, result);
    if (material != nullptr) {
        call.material = *material;
    }
    Log(std::move(call));
    return result;
}

HRESULT RecordingDevice::GetMaterial(D3DMATERIAL7* material) {
    HRESULT result = DeviceBase::GetMaterial(material);
    DeviceCall call = Call(DeviceMethod::GetMaterial, result);
    if (result == D3D_OK) {
        call.material = *material;
    }
    Log(std::move(call));
    return result;
}

HRESULT RecordingDevice::SetLight(DWORD index, D3DLIGHT7* light) {
    HRESULT result = DeviceBase::SetLight(index, light);
    DeviceCall call = Call(DeviceMethod::SetLight, result);
    call.id = index;
    if (light != nullptr) {
        call.light = *light;
    }
    Log(std::move(call));
    return result;
}

HRESULT RecordingDevice::GetLight(DWORD index, D3DLIGHT7* light) {
    HRESULT result = DeviceBase::GetLight(index, light);
    DeviceCall call = Call(DeviceMethod::GetLight, result);
    call.id = index;
    if (result == D3D_OK) {
        call.light = *light;
    }
    Log(std::move(call));
    return result;
}

HRESULT RecordingDevice::LightEnable(DWORD index, BOOL enable) {
    HRESULT result = DeviceBase::LightEnable(index, enable);
    DeviceCall call = Call(DeviceMethod::LightEnable, result);
    call.id = index;
    call.value = static_cast<DWORD>(enable);
    Log(std::move(call));
    return result;
}

HRESULT RecordingDevice::GetLightEnable(DWORD index, BOOL* enable) {
    HRESULT result = DeviceBase::GetLightEnable(index, enable);
    DeviceCall call = Call(DeviceMethod::GetLightEnable, result);
    call.id = index;
    if (result == D3D_OK) {
        call.value = static_cast<DWORD>(*enable);
    }
    Log(std::move(call));
    return result;
}

HRESULT RecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    HRESULT result = DeviceBase::SetRenderState(state, value);
    DeviceCall call = Call(DeviceMethod::SetRenderState, result);
    call.id = state;
    call.value = value;
    Log(std::move(call));
    return result;
}

HRESULT RecordingDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    HRESULT result = DeviceBase::GetRenderState(state, value);
    DeviceCall call = Call(DeviceMethod::GetRenderState, result);
    call.id = state;
    if (result == D3D_OK) {
        call.value = *value;
    }
    Log(std::move(call));
    return result;
}

HRESULT RecordingDevice::DrawPrimitive(D3DPRIMITIVETYPE type, DWORD vertexFormat, LPVOID vertices,
                                       DWORD vertexCount, DWORD flags) {
    HRESULT result = DeviceBase::DrawPrimitive(type, vertexFormat, vertices, vertexCount, flags);
    DeviceCall call = Call(DeviceMethod::DrawPrimitive, result);
    call.primitive = type;
    call.vertexFormat = vertexFormat;
    call.value = flags;
    // Only what the device accepted is copied; a refused call may point at anything.
    if (result == D3D_OK && vertexCount > 0) {
        const auto* first = static_cast<const D3DVERTEX*>(vertices);
        call.vertices.assign(first, first + vertexCount);
    }
    Log(std::move(call));
    return result;
}

HRESULT RecordingDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, DWORD vertexFormat,
                                              LPVOID vertices, DWORD vertexCount, WORD* indices,
                                              DWORD indexCount, DWORD flags) {
    HRESULT result = DeviceBase::DrawIndexedPrimitive(type, vertexFormat, vertices, vertexCount,
                                                      indices, indexCount, flags);
    DeviceCall call = Call(DeviceMethod::DrawIndexedPrimitive, result);
    call.primitive = type;
    call.vertexFormat = vertexFormat;
    call.value = flags;
    if (result == D3D_OK && vertexCount > 0 && indexCount > 0) {
        const auto* first = static_cast<const D3DVERTEX*>(vertices);
        call.vertices.assign(first, first + vertexCount);
        call.indices.assign(indices, indices + indexCount);
    }
    Log(std::move(call));
    return result;
}

HRESULT RecordingDevice::GetTexture(DWORD stage, IDirectDrawSurface7** texture) {
    HRESULT result = DeviceBase::GetTexture(stage, texture);
    DeviceCall call = Call(DeviceMethod::GetTexture, result);
    call.stage = stage;
    call.surface = result == D3D_OK ? *texture : nullptr;
    Log(std::move(call));
    return result;
}

HRESULT RecordingDevice::SetTexture(DWORD stage, IDirectDrawSurface7* texture) {
    HRESULT result = DeviceBase::SetTexture(stage, texture);
    DeviceCall call = Call(DeviceMethod::SetTexture, result);
    call.stage = stage;
    call.surface = texture;
    Log(std::move(call));
    return result;
}

HRESULT RecordingDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state,
                                              DWORD* value) {
    HRESULT result = DeviceBase::GetTextureStageState(stage, state, value);
    DeviceCall call = Call(DeviceMethod::GetTextureStageState, result);
    call.stage = stage;
    call.id = state;
    if (result == D3D_OK) {
        call.value = *value;
    }
    Log(std::move(call));
    return result;
}

HRESULT RecordingDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state,
                                              DWORD value) {
    HRESULT result = DeviceBase::SetTextureStageState(stage, state, value);
    DeviceCall call = Call(DeviceMethod::SetTextureStageState, result);
    call.stage = stage;
    call.id = state;
    call.value = value;
    Log(std::move(call));
    return result;
}

} // namespace d3d
