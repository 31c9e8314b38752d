// The headless window backend: no display, so windows stay plain records. Its desktop is a
// 1024 x 768 screen; waiting for events sleeps briefly, since nothing can arrive from outside.
#pragma once

#include "platform/host/host.h"

namespace host {

class HeadlessWindowBackend final : public WindowBackend {
public:
    bool HasDisplay() override { return false; }
    NativeWindow* CreateNativeWindow(const NativeWindowRequest&) override { return nullptr; }
    void DestroyNativeWindow(NativeWindow*) override {}
    void ApplyStyle(NativeWindow*, DWORD, DWORD) override {}
    void SetWindowRect(NativeWindow*, const RECT&) override {}
    RECT GetWindowRect(NativeWindow*) override { return RECT{}; }
    RECT GetClientRect(NativeWindow*) override { return RECT{}; }
    void SetIcon(NativeWindow*, const IconResource&) override {}
    void SetExclusiveFullscreen(NativeWindow*, bool) override {}
    void ShowCursor(bool) override {}
    RECT DesktopRect() override { return RECT{0, 0, 1024, 768}; }
    void PumpEvents() override {}
    void WaitEvents() override;
};

} // namespace host
