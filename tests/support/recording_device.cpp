// The recording device: every call logged with a snapshot of the device's own state before it.
#include "support/recording_device.h"

#include <cstring>
#include <utility>

namespace d3d {

namespace {

RecordingDevice*& LatestDevice() {
    static RecordingDevice* latest = nullptr;
    return latest;
}

constexpr const char* METHOD_NAMES[] = {
#define RECORDED_METHOD_NAME(name) #name,
    RECORDED_DEVICE_METHODS(RECORDED_METHOD_NAME)
#undef RECORDED_METHOD_NAME
};

} // namespace

const char* MethodName(DeviceMethod method) {
    const auto index = static_cast<size_t>(method);
    return index < std::size(METHOD_NAMES) ? METHOD_NAMES[index] : "?";
}

// ---- Life cycle and queries --------------------------------------------------------------------

RecordingDevice::RecordingDevice(const host::DeviceCreation& creation) : DeviceBase(creation) {
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

const DeviceState& RecordingDevice::StateBefore(size_t callIndex) const {
    return callIndex < calls_.size() ? *calls_[callIndex].before : State();
}

const DeviceState& RecordingDevice::StateAtDraw(size_t n) const {
    return StateBefore(draws_.at(n));
}

DeviceCall RecordingDevice::Call(DeviceMethod method) {
    DeviceCall call;
    call.method = method;
    if (recording_) {
        // Calls in a row that change nothing share one snapshot. Bytes that compare equal are the
        // same state; padding that differs only costs a copy.
        if (snapshot_ == nullptr ||
            std::memcmp(snapshot_.get(), &State(), sizeof(DeviceState)) != 0) {
            snapshot_ = std::make_shared<const DeviceState>(State());
        }
        call.before = snapshot_;
    }
    return call;
}

HRESULT RecordingDevice::Log(DeviceCall call) {
    const HRESULT result = call.result;
    if (!recording_) {
        return result;
    }
    if (call.IsDraw()) {
        draws_.push_back(calls_.size());
    }
    calls_.push_back(std::move(call));
    return result;
}

// ---- Calls -------------------------------------------------------------------------------------

HRESULT RecordingDevice::GetCaps(D3DDEVICEDESC7* desc) {
    DeviceCall call = Call(DeviceMethod::GetCaps);
    call.result = DeviceBase::GetCaps(desc);
    return Log(std::move(call));
}

HRESULT RecordingDevice::EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback,
                                            LPVOID context) {
    DeviceCall call = Call(DeviceMethod::EnumTextureFormats);
    call.result = DeviceBase::EnumTextureFormats(callback, context);
    return Log(std::move(call));
}

HRESULT RecordingDevice::BeginScene() {
    DeviceCall call = Call(DeviceMethod::BeginScene);
    call.result = DeviceBase::BeginScene();
    return Log(std::move(call));
}

HRESULT RecordingDevice::EndScene() {
    DeviceCall call = Call(DeviceMethod::EndScene);
    call.result = DeviceBase::EndScene();
    return Log(std::move(call));
}

HRESULT RecordingDevice::GetDirect3D(IDirect3D7** direct3D) {
    DeviceCall call = Call(DeviceMethod::GetDirect3D);
    call.result = DeviceBase::GetDirect3D(direct3D);
    return Log(std::move(call));
}

HRESULT RecordingDevice::SetRenderTarget(IDirectDrawSurface7* surface, DWORD flags) {
    DeviceCall call = Call(DeviceMethod::SetRenderTarget);
    call.result = DeviceBase::SetRenderTarget(surface, flags);
    call.surface = surface;
    call.value = State().renderStates[D3DRENDERSTATE_ZENABLE];
    return Log(std::move(call));
}

HRESULT RecordingDevice::GetRenderTarget(IDirectDrawSurface7** surface) {
    DeviceCall call = Call(DeviceMethod::GetRenderTarget);
    const HRESULT result = call.result = DeviceBase::GetRenderTarget(surface);
    call.surface = surface != nullptr && result == D3D_OK ? *surface : nullptr;
    return Log(std::move(call));
}

HRESULT RecordingDevice::Clear(DWORD count, D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                               DWORD stencil) {
    DeviceCall call = Call(DeviceMethod::Clear);
    call.result = DeviceBase::Clear(count, rects, flags, color, z, stencil);
    if (rects != nullptr && count <= DEVICE_MAX_CLEAR_RECTS) {
        call.rects.assign(rects, rects + count);
    }
    call.value = flags;
    call.color = color;
    call.z = z;
    call.stencil = stencil;
    return Log(std::move(call));
}

HRESULT RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix) {
    DeviceCall call = Call(DeviceMethod::SetTransform);
    call.result = DeviceBase::SetTransform(type, matrix);
    call.id = type;
    if (matrix != nullptr) {
        call.matrix = *matrix;
    }
    return Log(std::move(call));
}

HRESULT RecordingDevice::GetTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix) {
    DeviceCall call = Call(DeviceMethod::GetTransform);
    const HRESULT result = call.result = DeviceBase::GetTransform(type, matrix);
    call.id = type;
    if (result == D3D_OK) {
        call.matrix = *matrix;
    }
    return Log(std::move(call));
}

HRESULT RecordingDevice::SetViewport(D3DVIEWPORT7* viewport) {
    DeviceCall call = Call(DeviceMethod::SetViewport);
    call.result = DeviceBase::SetViewport(viewport);
    if (viewport != nullptr) {
        call.viewport = *viewport;
    }
    return Log(std::move(call));
}

HRESULT RecordingDevice::GetViewport(D3DVIEWPORT7* viewport) {
    DeviceCall call = Call(DeviceMethod::GetViewport);
    const HRESULT result = call.result = DeviceBase::GetViewport(viewport);
    if (result == D3D_OK) {
        call.viewport = *viewport;
    }
    return Log(std::move(call));
}

HRESULT RecordingDevice::SetMaterial(D3DMATERIAL7* material) {
    DeviceCall call = Call(DeviceMethod::SetMaterial);
    call.result = DeviceBase::SetMaterial(material);
    if (material != nullptr) {
        call.material = *material;
    }
    return Log(std::move(call));
}

HRESULT RecordingDevice::GetMaterial(D3DMATERIAL7* material) {
    DeviceCall call = Call(DeviceMethod::GetMaterial);
    const HRESULT result = call.result = DeviceBase::GetMaterial(material);
    if (result == D3D_OK) {
        call.material = *material;
    }
    return Log(std::move(call));
}

HRESULT RecordingDevice::SetLight(DWORD index, D3DLIGHT7* light) {
    DeviceCall call = Call(DeviceMethod::SetLight);
    call.result = DeviceBase::SetLight(index, light);
    call.id = index;
    if (light != nullptr) {
        call.light = *light;
    }
    return Log(std::move(call));
}

HRESULT RecordingDevice::GetLight(DWORD index, D3DLIGHT7* light) {
    DeviceCall call = Call(DeviceMethod::GetLight);
    const HRESULT result = call.result = DeviceBase::GetLight(index, light);
    call.id = index;
    if (result == D3D_OK) {
        call.light = *light;
    }
    return Log(std::move(call));
}

HRESULT RecordingDevice::LightEnable(DWORD index, BOOL enable) {
    DeviceCall call = Call(DeviceMethod::LightEnable);
    call.result = DeviceBase::LightEnable(index, enable);
    call.id = index;
    call.value = static_cast<DWORD>(enable);
    return Log(std::move(call));
}

HRESULT RecordingDevice::GetLightEnable(DWORD index, BOOL* enable) {
    DeviceCall call = Call(DeviceMethod::GetLightEnable);
    const HRESULT result = call.result = DeviceBase::GetLightEnable(index, enable);
    call.id = index;
    if (result == D3D_OK) {
        call.value = static_cast<DWORD>(*enable);
    }
    return Log(std::move(call));
}

HRESULT RecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    DeviceCall call = Call(DeviceMethod::SetRenderState);
    call.result = DeviceBase::SetRenderState(state, value);
    call.id = state;
    call.value = value;
    return Log(std::move(call));
}

HRESULT RecordingDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    DeviceCall call = Call(DeviceMethod::GetRenderState);
    const HRESULT result = call.result = DeviceBase::GetRenderState(state, value);
    call.id = state;
    if (result == D3D_OK) {
        call.value = *value;
    }
    return Log(std::move(call));
}

HRESULT RecordingDevice::DrawPrimitive(D3DPRIMITIVETYPE type, DWORD vertexFormat, LPVOID vertices,
                                       DWORD vertexCount, DWORD flags) {
    DeviceCall call = Call(DeviceMethod::DrawPrimitive);
    const HRESULT result = call.result =
        DeviceBase::DrawPrimitive(type, vertexFormat, vertices, vertexCount, flags);
    call.primitive = type;
    call.vertexFormat = vertexFormat;
    call.value = flags;
    // Only what the device accepted is copied; a refused call may point at anything.
    if (result == D3D_OK && vertexCount > 0) {
        const auto* first = static_cast<const D3DVERTEX*>(vertices);
        call.vertices.assign(first, first + vertexCount);
    }
    return Log(std::move(call));
}

HRESULT RecordingDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, DWORD vertexFormat,
                                              LPVOID vertices, DWORD vertexCount, WORD* indices,
                                              DWORD indexCount, DWORD flags) {
    DeviceCall call = Call(DeviceMethod::DrawIndexedPrimitive);
    const HRESULT result = call.result = DeviceBase::DrawIndexedPrimitive(
        type, vertexFormat, vertices, vertexCount, indices, indexCount, flags);
    call.primitive = type;
    call.vertexFormat = vertexFormat;
    call.value = flags;
    if (result == D3D_OK && vertexCount > 0 && indexCount > 0) {
        const auto* first = static_cast<const D3DVERTEX*>(vertices);
        call.vertices.assign(first, first + vertexCount);
        call.indices.assign(indices, indices + indexCount);
    }
    return Log(std::move(call));
}

HRESULT RecordingDevice::GetTexture(DWORD stage, IDirectDrawSurface7** texture) {
    DeviceCall call = Call(DeviceMethod::GetTexture);
    const HRESULT result = call.result = DeviceBase::GetTexture(stage, texture);
    call.stage = stage;
    call.surface = result == D3D_OK ? *texture : nullptr;
    return Log(std::move(call));
}

HRESULT RecordingDevice::SetTexture(DWORD stage, IDirectDrawSurface7* texture) {
    DeviceCall call = Call(DeviceMethod::SetTexture);
    call.result = DeviceBase::SetTexture(stage, texture);
    call.stage = stage;
    call.surface = texture;
    return Log(std::move(call));
}

HRESULT RecordingDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state,
                                              DWORD* value) {
    DeviceCall call = Call(DeviceMethod::GetTextureStageState);
    const HRESULT result = call.result = DeviceBase::GetTextureStageState(stage, state, value);
    call.stage = stage;
    call.id = state;
    if (result == D3D_OK) {
        call.value = *value;
    }
    return Log(std::move(call));
}

HRESULT RecordingDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state,
                                              DWORD value) {
    DeviceCall call = Call(DeviceMethod::SetTextureStageState);
    call.result = DeviceBase::SetTextureStageState(stage, state, value);
    call.stage = stage;
    call.id = state;
    call.value = value;
    return Log(std::move(call));
}

} // namespace d3d
