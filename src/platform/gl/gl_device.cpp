// The GL devices: the common device state driven into a gl::Renderer, and the render target's
// pixels kept between the framebuffer and the surface's memory.
#include "platform/gl/gl_device.h"

#include <algorithm>
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
        // The render target at creation is the back buffer: its size is the display mode's.
        modeWidth_ = RenderTarget()->Width();
        modeHeight_ = RenderTarget()->Height();
        renderer_->SetPolicy(WantedPolicy(), *backed_);
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
        int width = surface.Width(), height = surface.Height();
        if (sink || !context_->DrawsInto(request.window)) {
            renderer_->ReadRgba(surface, frame_, &width, &height);
        }
        if (context_->DrawsInto(request.window)) {
            if (sink) {
                ddraw::DeliverToFrameSink(request.window, width, height, frame_.data(), width * 4,
                                          surface.Width(), surface.Height());
            }
            int drawableWidth = 0, drawableHeight = 0;
            context_->DrawableSize(&drawableWidth, &drawableHeight);
            const host::PresentationOptions& options = host::GetPresentationOptions();
            renderer_->ShowInWindow(surface, drawableWidth, drawableHeight, options.scaling,
                                    options.filtering);
            context_->Swap(request.fullscreen);
        } else {
            ddraw::PresentRgba(request, width, height, frame_.data(), width * 4, surface.Width(),
                               surface.Height());
        }
        // Native resolution follows the window: a new size shapes the next frame's targets.
        renderer_->SetPolicy(WantedPolicy(), *backed_);
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
    // The targets' shape the presentation options ask for, for the picture's area now: the
    // window's drawable when this context draws into it, else the window's client area, else
    // none (offscreen: the options' own native area, or the mode's size).
    TargetPolicy WantedPolicy() const {
        const host::PresentationOptions& options = host::GetPresentationOptions();
        TargetPolicy policy;
        if (!options.ChangesTargets()) {
            return policy;
        }
        int areaWidth = 0, areaHeight = 0;
        if (options.internal.native) {
            HWND window = RenderTarget()->Owner() != nullptr
                              ? RenderTarget()->Owner()->CooperativeWindow()
                              : nullptr;
            if (context_->DrawsInto(window)) {
                context_->DrawableSize(&areaWidth, &areaHeight);
            } else if (host::NativeWindow* native = host::NativeWindowOf(window)) {
                const RECT client = host::Windows().GetClientRect(native);
                areaWidth = client.right - client.left;
                areaHeight = client.bottom - client.top;
            }
        }
        const host::TargetSize size =
            host::InternalTargetSize(options, modeWidth_, modeHeight_, areaWidth, areaHeight);
        policy.modeWidth = modeWidth_;
        policy.modeHeight = modeHeight_;
        policy.shape =
            TargetShape{size.width, size.height, std::max(options.samples, 1), options.trueColour};
        return policy;
    }

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
    int modeWidth_ = 0;
    int modeHeight_ = 0;
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
