// The recording device: an IDirect3DDevice7 that draws nothing and logs every call with its
// arguments, for logic tests of the frame and the scenes. It keeps the device state like any
// device (DeviceBase), so getters answer, and each logged call keeps a snapshot of that state as
// it was before the call: the log never applies the setters' rules a second time.
//
//   auto* device = d3d::RecordingDevice::From(app.device);
//   EXPECT_EQ(device->DrawCount(), 6u);
//   EXPECT_FLOAT_EQ(device->StateAtDraw(2).material.diffuse.r, 0.5f);
//   for (const d3d::DeviceCall* call : device->CallsOf(d3d::DeviceMethod::SetRenderState)) ...
#pragma once

#include <memory>
#include <vector>

#include "platform/d3d/device_base.h"

namespace d3d {

// The IDirect3DDevice7 methods the device logs, in one list: the DeviceMethod values and their
// names both come from it.
#define RECORDED_DEVICE_METHODS(X)                                                                 \
    X(GetCaps)                                                                                     \
    X(EnumTextureFormats)                                                                          \
    X(BeginScene)                                                                                  \
    X(EndScene)                                                                                    \
    X(GetDirect3D)                                                                                 \
    X(SetRenderTarget)                                                                             \
    X(GetRenderTarget)                                                                             \
    X(Clear)                                                                                       \
    X(SetTransform)                                                                                \
    X(GetTransform)                                                                                \
    X(SetViewport)                                                                                 \
    X(GetViewport)                                                                                 \
    X(SetMaterial)                                                                                 \
    X(GetMaterial)                                                                                 \
    X(SetLight)                                                                                    \
    X(GetLight)                                                                                    \
    X(LightEnable)                                                                                 \
    X(GetLightEnable)                                                                              \
    X(SetRenderState)                                                                              \
    X(GetRenderState)                                                                              \
    X(DrawPrimitive)                                                                               \
    X(DrawIndexedPrimitive)                                                                        \
    X(GetTexture)                                                                                  \
    X(SetTexture)                                                                                  \
    X(GetTextureStageState)                                                                        \
    X(SetTextureStageState)

enum class DeviceMethod {
#define RECORDED_METHOD_VALUE(name) name,
    RECORDED_DEVICE_METHODS(RECORDED_METHOD_VALUE)
#undef RECORDED_METHOD_VALUE
};

const char* MethodName(DeviceMethod method);

// One call. Fields a method does not use stay zero or empty.
struct DeviceCall {
    DeviceMethod method = DeviceMethod::GetCaps;
    HRESULT result = D3D_OK;
    // The device's state before the call; calls in a row that change nothing share one.
    std::shared_ptr<const DeviceState> before;
    // The render state, texture-stage state, transform type or light index the call names.
    DWORD id = 0;
    DWORD stage = 0; // texture stage of SetTexture, GetTexture and the stage-state calls
    // The state value, light enable, draw or render-target flags, or clear flags; for getters
    // the value answered. For SetRenderTarget, the z-enable state after the call.
    DWORD value = 0;
    D3DMATRIX matrix{};
    D3DMATERIAL7 material{};
    D3DLIGHT7 light{};
    D3DVIEWPORT7 viewport{};
    // The texture or render target named or answered; compared by identity only, not held.
    IDirectDrawSurface7* surface = nullptr;
    // Draws: what was drawn, copied.
    D3DPRIMITIVETYPE primitive = D3DPT_TRIANGLELIST;
    DWORD vertexFormat = 0;
    std::vector<D3DVERTEX> vertices;
    std::vector<WORD> indices;
    // Clear
    std::vector<D3DRECT> rects;
    D3DCOLOR color = 0;
    float z = 0.0f;
    DWORD stencil = 0;

    bool IsDraw() const {
        return method == DeviceMethod::DrawPrimitive ||
               method == DeviceMethod::DrawIndexedPrimitive;
    }
};

class RecordingDevice final : public DeviceBase {
public:
    // A device factory (see host::DeviceFactory).
    static HRESULT Create(const host::DeviceCreation& creation, IDirect3DDevice7** device);
    // The recording device behind a device pointer, or null for another kind.
    static RecordingDevice* From(IDirect3DDevice7* device);
    // The most recently created recording device that still exists, or null.
    static RecordingDevice* Latest();

    // ---- The log ----
    const std::vector<DeviceCall>& Calls() const { return calls_; }
    // Forgets the calls so far.
    void ClearLog();
    // Calls made while recording is off are not logged (the state still changes).
    void SetRecording(bool recording) { recording_ = recording; }

    std::vector<const DeviceCall*> CallsOf(DeviceMethod method) const;
    size_t CountOf(DeviceMethod method) const;
    // Draws (DrawPrimitive and DrawIndexedPrimitive) in order.
    size_t DrawCount() const;
    const DeviceCall& Draw(size_t n) const;
    // The state in effect before the call at `callIndex` in Calls() (at Calls().size(): now) / at
    // the n-th draw.
    const DeviceState& StateBefore(size_t callIndex) const;
    const DeviceState& StateAtDraw(size_t n) const;

    // ---- IDirect3DDevice7: each call is passed on to the common device, then logged ----
    HRESULT GetCaps(D3DDEVICEDESC7* desc) override;
    HRESULT EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, LPVOID context) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT GetDirect3D(IDirect3D7** direct3D) override;
    HRESULT SetRenderTarget(IDirectDrawSurface7* surface, DWORD flags) override;
    HRESULT GetRenderTarget(IDirectDrawSurface7** surface) override;
    HRESULT Clear(DWORD count, D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                  DWORD stencil) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix) override;
    HRESULT SetViewport(D3DVIEWPORT7* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT7* viewport) override;
    HRESULT SetMaterial(D3DMATERIAL7* material) override;
    HRESULT GetMaterial(D3DMATERIAL7* material) override;
    HRESULT SetLight(DWORD index, D3DLIGHT7* light) override;
    HRESULT GetLight(DWORD index, D3DLIGHT7* light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT GetLightEnable(DWORD index, BOOL* enable) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, DWORD vertexFormat, LPVOID vertices,
                          DWORD vertexCount, DWORD flags) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, DWORD vertexFormat, LPVOID vertices,
                                 DWORD vertexCount, WORD* indices, DWORD indexCount,
                                 DWORD flags) override;
    HRESULT GetTexture(DWORD stage, IDirectDrawSurface7** texture) override;
    HRESULT SetTexture(DWORD stage, IDirectDrawSurface7* texture) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state,
                                 DWORD* value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) override;

private:
    explicit RecordingDevice(const host::DeviceCreation& creation);
    ~RecordingDevice() override;

    // A call about to be made, with the state before it; Log keeps it and answers its result.
    DeviceCall Call(DeviceMethod method);
    HRESULT Log(DeviceCall call);

    std::vector<DeviceCall> calls_;
    std::vector<size_t> draws_;                   // indices of the draws in calls_
    std::shared_ptr<const DeviceState> snapshot_; // the latest snapshot taken
    bool recording_ = true;
};

} // namespace d3d
