// What every 3D device of this platform shares: argument checks, the state getters answer from,
// the references to its Direct3D object, render target and textures, and the scene bracket.
// A device kind (recording, null, GL) derives from it and does the drawing in the hooks below.
#pragma once

#include <memory>

#include "platform/d3d/device_state.h"
#include "platform/d3d/draw_request.h"
#include "platform/host/drivers.h"
#include "platform/win32/com_object.h"

namespace ddraw {
class Surface;
}

namespace d3d {

class DeviceBase : public ComObject<IDirect3DDevice7> {
public:
    HRESULT QueryInterface(REFIID riid, void** object) override;

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

    const DeviceState& State() const { return state_; }
    const host::DeviceDescription& Description() const { return *description_; }
    ddraw::Surface* RenderTarget() const { return renderTarget_; }

protected:
    explicit DeviceBase(const host::DeviceCreation& creation);
    ~DeviceBase() override;

    // Hooks for the device kinds; called after the arguments were checked and the state updated.
    virtual HRESULT DoClear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                            DWORD stencil);
    virtual HRESULT DoDraw(const DrawRequest& request);
    // The render target changed (the previous one is still held during the call).
    virtual void RenderTargetChanged(ddraw::Surface* previous);

    // The changes since the last call (DirtyFlags), cleared by the call.
    DWORD TakeDirty();

private:
    HRESULT CheckDraw(D3DPRIMITIVETYPE type, DWORD vertexFormat, const void* vertices,
                      DWORD vertexCount) const;

    IDirect3D7* direct3D_;         // held
    ddraw::Surface* renderTarget_; // held
    std::shared_ptr<const host::DeviceDescription> description_;
    DeviceState state_;
    DWORD dirty_ = DIRTY_ALL;
    bool depthInUse_ = false; // whether the target had a z-buffer when last set
};

// Whether a surface has a z-buffer attached (and so gets depth testing).
bool HasZBuffer(const ddraw::Surface* surface);

} // namespace d3d
