// The z-buffer step of DisplayDevice::Create: a depth format that matches the back buffer's
// colour depth when the device offers one, else 16 bits, attached to the render surface(s).
#include "framework/display_device.h"
#include "framework/trace_error.h"

namespace {

constexpr LPCSTR SOURCE_UNIT = "d3dframe";

} // namespace

HRESULT MatchZBufferFormat(DDPIXELFORMAT* enumerated, LPVOID wanted) {
    auto* format = static_cast<DDPIXELFORMAT*>(wanted);
    if (enumerated == nullptr || format == nullptr) {
        return DDENUMRET_OK;
    }
    if (enumerated->dwZBufferBitDepth == format->dwZBufferBitDepth) {
        // The copy makes dwSize non-zero, which is how the caller sees that a format was found.
        *format = *enumerated;
        return DDENUMRET_CANCEL;
    }
    return DDENUMRET_OK;
}

HRESULT DisplayDevice::CreateZBuffer(const GUID* deviceGuid) {
    D3DDEVICEDESC7 caps{};
    device->GetCaps(&caps);
    if ((caps.dpcTriCaps.dwRasterCaps & D3DPRASTERCAPS_ZBUFFERLESSHSR) != 0) {
        return S_OK; // the device removes hidden surfaces without one
    }

    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    renderSurface->GetSurfaceDesc(&desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | memoryType;

    // The bit-count word still holds the back buffer's colour depth; the same word is the
    // z-buffer depth, so the first search asks for a depth equal to the colour depth.
    desc.ddpfPixelFormat.dwSize = 0;
    direct3D->EnumZBufferFormats(*deviceGuid, MatchZBufferFormat, &desc.ddpfPixelFormat);
    if (desc.ddpfPixelFormat.dwSize == 0) {
        desc.ddpfPixelFormat.dwZBufferBitDepth = 16;
        direct3D->EnumZBufferFormats(*deviceGuid, MatchZBufferFormat, &desc.ddpfPixelFormat);
    }
    if (desc.ddpfPixelFormat.dwSize == 0) {
        TraceError(SOURCE_UNIT, __LINE__, 0, "Device doesn't support requested zbuffer format");
        return DISPLAY_E_ZBUFFER;
    }

    HRESULT result = directDraw->CreateSurface(&desc, &zBuffer, nullptr);
    if (FAILED(result)) {
        zBuffer = nullptr;
        TraceError(SOURCE_UNIT, __LINE__, 0, "Error: Couldn't create a ZBuffer surface");
        if (result == DDERR_OUTOFVIDEOMEMORY) {
            TraceError(SOURCE_UNIT, __LINE__, 0, "Error: Out of video memory");
            return DDERR_OUTOFVIDEOMEMORY;
        }
        return DISPLAY_E_ZBUFFER;
    }

    if (FAILED(renderSurface->AddAttachedSurface(zBuffer))) {
        TraceError(SOURCE_UNIT, __LINE__, 0, "Error: Couldn't attach zbuffer to render surface");
        return DISPLAY_E_ZBUFFER;
    }
    if (stereo && FAILED(leftRenderSurface->AddAttachedSurface(zBuffer))) {
        TraceError(SOURCE_UNIT, __LINE__, 0,
                   "Error: Couldn't attach zbuffer to left render surface");
        return DISPLAY_E_ZBUFFER;
    }
    // The device takes an attached z-buffer into use only when its target is set again.
    if (FAILED(device->SetRenderTarget(renderSurface, 0))) {
        TraceError(SOURCE_UNIT, __LINE__, 0,
                   "Error: SetRenderTarget() failed after attaching zbuffer!");
        return DISPLAY_E_ZBUFFER;
    }
    return S_OK;
}
