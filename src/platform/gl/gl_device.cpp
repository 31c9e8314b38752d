// The GL devices: the common device state driven into a gl::Renderer, and the render target's
// pixels kept between the framebuffer and the surface's memory.
#include "platform/gl/gl_device.h"

#include <string>
#include <vector>

#include "platform/d3d/device_base.h"
#include "platform/ddraw/direct_draw.h"
#include "platform/ddraw/present.h"
#include "platform/gl/context.h"
#include "platform/gl/gpu_context.h"
#include "platform/gl/renderer.h"
#include "platform/host/host.h"
#include "platform/host/presentation.h"

namespace gl {

namespace {

class GlDevice final : public d3d::DeviceBase, public ddraw::SurfaceBacking {
public:
    GlDevice(const host::DeviceCreation& creation, std::unique_ptr<host::GlContext> context)
        : d3d::DeviceBase(creation), context_(std::move(context)),
          backed_(std::make_shared<std::vector<ddraw::Surface*>>()) {
        context_->MakeCurrent();
        renderer_ = std::make_unique<Renderer>();
    }

    // Prepares drawing into the render target; false (with a reason) when GL cannot.
    bool Start(std::string* failure) {
        if (!renderer_->Ready(failure)) {
            return false;
        }
        if (!renderer_->SetTarget(*RenderTarget(), backed_)) {
            *failure = "no framebuffer for the render target's format";
            return false;
        }
        RenderTarget()->SetBacking(this);
        return true;
    }

    // ---- SurfaceBacking ----
    void PullPixels(ddraw::Surface& surface) override {
        if (context_->MakeCurrent()) {
            renderer_->ReadSurface(surface);
        }
    }

    void PushPixels(ddraw::Surface& surface) override {
        if (context_->MakeCurrent()) {
            renderer_->WriteSurface(surface);
        }
    }

    HRESULT Present(ddraw::Surface& surface, const ddraw::PresentRequest& request) override {
        if (!context_->MakeCurrent()) {
            return DDERR_GENERIC;
        }
        renderer_->CollectGarbage();
        const bool sink = static_cast<bool>(host::GetFrameSink());
        if (sink || !context_->DrawsInto(request.window)) {
            renderer_->ReadRgba(surface, frame_);
        }
        if (context_->DrawsInto(request.window)) {
            if (sink) {
                ddraw::DeliverToFrameSink(request.window, surface.Width(), surface.Height(),
                                          frame_.data(), surface.Width() * 4);
            }
            int width = 0, height = 0;
            context_->DrawableSize(&width, &height);
            renderer_->ShowInWindow(surface, width, height);
            context_->Swap(request.fullscreen);
            return DD_OK;
        }
        ddraw::PresentRgba(request, surface.Width(), surface.Height(), frame_.data(),
                           surface.Width() * 4);
        return DD_OK;
    }

protected:
    HRESULT DoClear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                    DWORD) override {
        if (!context_->MakeCurrent()) {
            return DDERR_GENERIC;
        }
        return renderer_->Clear(State(), TakeDirty(), count, rects, flags, color, z);
    }

    HRESULT DoDraw(const d3d::DrawRequest& request) override {
        if (!context_->MakeCurrent()) {
            return DDERR_GENERIC;
        }
        return renderer_->Draw(State(), TakeDirty(), request);
    }

    void RenderTargetChanged(ddraw::Surface*) override {
        // The previous target keeps its framebuffer (and this device as its backing): what was
        // drawn into it stays readable and presentable.
        if (context_->MakeCurrent() && renderer_->SetTarget(*RenderTarget(), backed_)) {
            RenderTarget()->SetBacking(this);
        }
    }

private:
    ~GlDevice() override {
        // Hand every surface its pixels back and let go of it before the context goes. Without
        // the context (its window was destroyed first) the pixels are lost with it.
        const bool current = context_->MakeCurrent();
        if (!current) {
            renderer_->Abandon();
        }
        const std::vector<ddraw::Surface*> backed = *backed_;
        for (ddraw::Surface* surface : backed) {
            if (current) {
                renderer_->ReadSurface(*surface);
            }
            surface->SetBacking(nullptr);
            surface->SetData(renderer_.get(), nullptr);
        }
        renderer_.reset();
        context_.reset();
    }

    std::unique_ptr<host::GlContext> context_;
    std::unique_ptr<Renderer> renderer_;
    std::shared_ptr<std::vector<ddraw::Surface*>> backed_;
    std::vector<BYTE> frame_; // the last read-back frame, reused
};

// A device on `context`, or DDERR_GENERIC with the reason (no context, or GL that cannot do what
// the device needs) in the debug output.
HRESULT MakeDevice(const host::DeviceCreation& creation, IDirect3DDevice7** out, const char* kind,
                   std::unique_ptr<host::GlContext> context, std::string failure) {
    if (context != nullptr) {
        auto* device = new GlDevice(creation, std::move(context));
        if (device->Start(&failure)) {
            *out = device;
            return D3D_OK;
        }
        device->Release();
    }
    host::WriteDebugOutput((std::string(kind) + " device unavailable: " + failure + "\n").c_str());
    return DDERR_GENERIC;
}

} // namespace

HRESULT CreateWindowGlDevice(const host::DeviceCreation& creation, IDirect3DDevice7** device) {
    if (device == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *device = nullptr;
    ddraw::Surface* target = ddraw::SurfaceFromInterface(creation.renderTarget);
    std::string failure;
    std::unique_ptr<host::GlContext> context = host::Windows().CreateGlContext(
        host::NativeWindowOf(target->Owner()->CooperativeWindow()), &failure);
    return MakeDevice(creation, device, "window GL", std::move(context), failure);
}

HRESULT CreateSoftwareGlDevice(const host::DeviceCreation& creation, IDirect3DDevice7** device) {
    if (device == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *device = nullptr;
    std::string failure;
    std::unique_ptr<host::GlContext> context = CreateSoftwareContext(&failure);
    return MakeDevice(creation, device, "software GL", std::move(context), failure);
}

HRESULT CreateGpuGlDevice(const host::DeviceCreation& creation, IDirect3DDevice7** device) {
    if (device == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *device = nullptr;
    std::string failure;
    std::unique_ptr<host::GlContext> context = CreateGpuContext(&failure);
    return MakeDevice(creation, device, "GPU GL", std::move(context), failure);
}

} // namespace gl
