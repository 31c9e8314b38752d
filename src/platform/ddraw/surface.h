// A DirectDraw surface: pixels in system memory with a real pitch and pixel format, plus what
// the platform hangs on it (palette, clipper, attached surfaces, a flipping chain).
//
// Reference counts are real. A surface holds its DirectDraw object, its palette, its clipper and
// the surfaces attached to it with AddAttachedSurface. The back buffers of a flipping chain are
// made with the primary and die with it: when the primary goes, a back buffer that someone still
// holds becomes an empty shell that answers DDERR_SURFACELOST and no longer holds the DirectDraw
// object, so the program's teardown order always ends with every count at zero.
//
// When a 3D device renders into a surface, the surface's current pixels live with the device
// (its SurfaceBacking): the surface asks the backing for them before the CPU reads its memory and
// hands them back after the CPU wrote it. Presentation goes through the backing too.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/ddraw/ddraw.h"
#include "platform/ddraw/pixel_formats.h"

namespace ddraw {

class DirectDraw;
class Surface;
class Palette;
class Clipper;

struct PresentRequest {
    HWND window = nullptr;
    bool fullscreen = false; // a flip: wait for the display's refresh
};

class SurfaceBacking {
public:
    virtual ~SurfaceBacking() = default;
    // Brings the surface's memory up to date with what was drawn.
    virtual void PullPixels(Surface& surface) = 0;
    // The CPU changed the surface's memory; take it over.
    virtual void PushPixels(Surface& surface) = 0;
    // Shows the surface's pixels in the window (and hands them to the frame sink).
    virtual HRESULT Present(Surface& surface, const PresentRequest& request) = 0;
};

// Data a device keeps with a surface (an uploaded texture); destroyed with the surface.
class SurfaceData {
public:
    virtual ~SurfaceData() = default;
};

class Surface final : public IDirectDrawSurface7 {
public:
    // A new surface with one reference, holding `owner`. `memoryBytes` must already be bounded.
    Surface(DirectDraw* owner, const DDSURFACEDESC2& desc, const PixelLayout& layout, LONG pitch);

    // IUnknown
    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    // IDirectDrawSurface7
    HRESULT GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface7** attached) override;
    HRESULT AddAttachedSurface(IDirectDrawSurface7* surface) override;
    HRESULT DeleteAttachedSurface(DWORD flags, IDirectDrawSurface7* surface) override;
    HRESULT GetSurfaceDesc(DDSURFACEDESC2* desc) override;
    HRESULT GetPixelFormat(DDPIXELFORMAT* format) override;
    HRESULT Lock(RECT* rect, DDSURFACEDESC2* desc, DWORD flags, HANDLE event) override;
    HRESULT Unlock(RECT* rect) override;
    HRESULT Blt(RECT* destinationRect, IDirectDrawSurface7* source, RECT* sourceRect, DWORD flags,
                DDBLTFX* effects) override;
    HRESULT Flip(IDirectDrawSurface7* target, DWORD flags) override;
    HRESULT GetDC(HDC* dc) override;
    HRESULT ReleaseDC(HDC dc) override;
    HRESULT SetPalette(IDirectDrawPalette* palette) override;
    HRESULT GetPalette(IDirectDrawPalette** palette) override;
    HRESULT SetClipper(IDirectDrawClipper* clipper) override;
    HRESULT GetClipper(IDirectDrawClipper** clipper) override;
    HRESULT GetDDInterface(LPVOID* directDraw) override;
    HRESULT IsLost() override;
    HRESULT Restore() override;

    // ---- For the platform ----------------------------------------------------------------------
    ULONG RefCount() const { return refs_; }
    DirectDraw* Owner() const { return owner_; }
    const DDSURFACEDESC2& Desc() const { return desc_; }
    const PixelLayout& Layout() const { return layout_; }
    DWORD Caps() const { return desc_.ddsCaps.dwCaps; }
    int Width() const { return static_cast<int>(desc_.dwWidth); }
    int Height() const { return static_cast<int>(desc_.dwHeight); }
    LONG Pitch() const { return pitch_; }
    BYTE* Pixels() { return memory_.data(); }
    const BYTE* Pixels() const { return memory_.data(); }
    bool Lost() const { return lost_; }
    // False for a shell: a back buffer whose memory went with its primary.
    bool HasPixels() const { return !memory_.empty(); }
    // Grows whenever the CPU changes the pixels or the palette's entries change.
    uint64_t ContentVersion() const;
    Palette* AttachedPalette() const { return palette_; }
    // The z-buffer attached with AddAttachedSurface, or null.
    Surface* AttachedZBuffer() const;

    // Flipping chains, built by DirectDraw::CreateSurface on the chain's root: `member` lives as
    // long as this root and is found by GetAttachedSurface on `linkedFrom`.
    void AddChainMember(Surface* member, Surface* linkedFrom);
    Surface* FirstBackBuffer() const;

    void SetBacking(SurfaceBacking* backing) { backing_ = backing; }
    SurfaceBacking* Backing() const { return backing_; }
    // Before the CPU reads the memory / after it wrote it (asks or tells the backing).
    void SyncForRead();
    void MarkWritten();

    SurfaceData* FindData(const void* key) const;
    void SetData(const void* key, std::unique_ptr<SurfaceData> data);

    void MarkLost() { lost_ = true; }
    void MarkRestored();

private:
    ~Surface();
    // The chain's root died: drop everything and the DirectDraw reference; stay as a shell.
    void BecomeShell();
    void ReleaseHeld();
    void ReleaseAttached();
    HRESULT CheckUsable() const;

    ULONG refs_ = 1;
    DirectDraw* owner_; // held; null once the surface is a shell
    DDSURFACEDESC2 desc_;
    PixelLayout layout_;
    LONG pitch_;
    std::vector<BYTE> memory_;
    uint64_t version_ = 0;
    bool lost_ = false;
    bool locked_ = false;
    bool lockReadOnly_ = false;
    DWORD lockToken_ = 0;
    HDC dc_ = nullptr;
    Palette* palette_ = nullptr;         // held
    Clipper* clipper_ = nullptr;         // held
    std::vector<Surface*> attached_;     // held: attached with AddAttachedSurface
    std::vector<Surface*> chainMembers_; // not counted: made with this root, die with it
    std::vector<Surface*> linked_;       // not counted: chain members attached to this one
    Surface* chainRoot_ = nullptr;       // for a back buffer: the primary it was made with
    SurfaceBacking* backing_ = nullptr;  // not owned: the device detaches itself
    std::vector<std::pair<const void*, std::unique_ptr<SurfaceData>>> data_;
};

// The surface behind an interface pointer of this platform, or null.
Surface* SurfaceFromInterface(IDirectDrawSurface7* surface);

// Content versions of surfaces and palettes come from one counter, so that the newer of a
// surface's and its palette's versions always tells whether anything changed since an upload.
uint64_t NextContentVersion();

// Bytes per row for a width, rounded up so that every row starts 8-byte aligned.
LONG PitchFor(DWORD width, int bytesPerPixel);
// Largest side and largest pixel store a surface may have.
constexpr DWORD SURFACE_MAX_SIDE = 16384;
constexpr size_t SURFACE_MAX_BYTES = size_t{256} << 20;

} // namespace ddraw
