// DirectDraw clippers.
#include "platform/ddraw/clipper.h"

#include "platform/ddraw/direct_draw.h"

namespace ddraw {

Clipper::Clipper(DirectDraw* owner) : owner_(owner) {
    owner_->AddRef();
}

Clipper::~Clipper() {
    owner_->Release();
}

HRESULT Clipper::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IDirectDrawClipper) {
        AddRef();
        *object = static_cast<IDirectDrawClipper*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT Clipper::SetHWnd(DWORD, HWND window) {
    window_ = window;
    return DD_OK;
}

HRESULT Clipper::GetHWnd(HWND* window) {
    if (window == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *window = window_;
    return DD_OK;
}

Clipper* ClipperFromInterface(IDirectDrawClipper* clipper) {
    return dynamic_cast<Clipper*>(clipper);
}

} // namespace ddraw
