// DirectDraw clippers. The platform clips a windowed primary to its window by presenting into
// that window's client area, so a clipper only remembers the window it was bound to.
#pragma once

#include "platform/ddraw/ddraw.h"
#include "platform/win32/com_object.h"

namespace ddraw {

class DirectDraw;

class Clipper final : public ComObject<IDirectDrawClipper> {
public:
    explicit Clipper(DirectDraw* owner); // `owner` is held

    HRESULT QueryInterface(REFIID riid, void** object) override;
    HRESULT SetHWnd(DWORD flags, HWND window) override;
    HRESULT GetHWnd(HWND* window) override;

    HWND Window() const { return window_; }

private:
    ~Clipper() override;

    DirectDraw* owner_;
    HWND window_ = nullptr;
};

Clipper* ClipperFromInterface(IDirectDrawClipper* clipper);

} // namespace ddraw
