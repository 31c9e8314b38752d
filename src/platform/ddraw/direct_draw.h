// The DirectDraw object: one per DirectDrawCreateEx, bound to one driver of the host's set.
//
// It answers the driver's modes and capabilities, keeps the cooperative level and the virtual
// display mode, makes surfaces, clippers and palettes (each of which holds a reference to it),
// and knows every live surface it made so that they can be lost and restored together.
#pragma once

#include <memory>
#include <vector>

#include "platform/ddraw/ddraw.h"
#include "platform/host/drivers.h"
#include "platform/win32/com_object.h"

namespace ddraw {

class Surface;

class DirectDraw final : public ComObject<IDirectDraw7> {
public:
    explicit DirectDraw(std::shared_ptr<host::Driver> driver);

    // IUnknown
    HRESULT QueryInterface(REFIID riid, void** object) override;

    // IDirectDraw7
    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
    HRESULT GetDisplayMode(DDSURFACEDESC2* mode) override;
    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate,
                           DWORD flags) override;
    HRESULT RestoreDisplayMode() override;
    HRESULT EnumDisplayModes(DWORD flags, DDSURFACEDESC2* filter, LPVOID context,
                             LPDDENUMMODESCALLBACK2 callback) override;
    HRESULT GetCaps(DDCAPS* driverCaps, DDCAPS* emulationCaps) override;
    HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** surface,
                          IUnknown* outer) override;
    HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** clipper, IUnknown* outer) override;
    HRESULT CreatePalette(DWORD flags, PALETTEENTRY* entries, IDirectDrawPalette** palette,
                          IUnknown* outer) override;
    HRESULT TestCooperativeLevel() override;
    HRESULT RestoreAllSurfaces() override;
    HRESULT FlipToGDISurface() override;
    HRESULT WaitForVerticalBlank(DWORD flags, HANDLE event) override;

    // For the platform's own objects.
    const host::Driver& Driver() const { return *driver_; }
    HWND CooperativeWindow() const { return window_; }
    // The mode surfaces are made in: the mode set in exclusive mode, else the desktop's.
    const DDSURFACEDESC2& CurrentMode() const;

    void AddSurface(Surface* surface);
    void RemoveSurface(Surface* surface);
    void LoseSurfaces();
    void ForgetPrimary(Surface* primary);

    // Every DirectDraw object alive in the process, newest first: FirstLive, then NextLive.
    static DirectDraw* FirstLive();
    DirectDraw* NextLive() const { return nextLive_; }

private:
    ~DirectDraw() override;

    HRESULT CreatePrimary(const DDSURFACEDESC2& desc, Surface** primary);
    void LeaveExclusiveMode();

    std::shared_ptr<host::Driver> driver_;
    HWND window_ = nullptr;
    DWORD cooperativeFlags_ = 0;
    bool exclusive_ = false;
    bool modeSet_ = false;
    DDSURFACEDESC2 mode_{};
    Surface* primary_ = nullptr;     // not held: the primary holds this object
    std::vector<Surface*> surfaces_; // not held, for loss and restoration
    DirectDraw* nextLive_ = nullptr;
};

} // namespace ddraw
