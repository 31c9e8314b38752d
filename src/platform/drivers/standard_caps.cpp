// The capabilities, formats and modes of this platform's drivers.
#include "platform/drivers/standard_caps.h"

#include "platform/ddraw/pixel_formats.h"

namespace drivers {

namespace {

// Texture operations the device's stage 0 carries out (disable, select either argument,
// modulate).
constexpr DWORD TEXTURE_OPS = 0x0000000F;
constexpr DWORD ONE_TEXTURE_COORDINATE_SET = 1;

D3DPRIMCAPS StandardPrimitiveCaps() {
    D3DPRIMCAPS caps{};
    caps.dwSize = sizeof(D3DPRIMCAPS);
    caps.dwRasterCaps = D3DPRASTERCAPS_DITHER | D3DPRASTERCAPS_ZTEST;
    caps.dwZCmpCaps = D3DPCMPCAPS_LESSEQUAL;
    const DWORD blends =
        D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_SRCALPHA | D3DPBLENDCAPS_INVSRCALPHA;
    caps.dwSrcBlendCaps = blends;
    caps.dwDestBlendCaps = blends;
    caps.dwTextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_POW2 |
                         D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_TRANSPARENCY |
                         D3DPTEXTURECAPS_ALPHAPALETTE;
    caps.dwTextureFilterCaps = D3DPTFILTERCAPS_NEAREST | D3DPTFILTERCAPS_LINEAR;
    caps.dwTextureAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_CLAMP;
    return caps;
}

} // namespace

DDSURFACEDESC2 MakeDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate,
                               DWORD caps2) {
    using ddraw::PixelKind;
    DDSURFACEDESC2 mode{};
    mode.dwSize = sizeof(DDSURFACEDESC2);
    mode.dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
    mode.dwWidth = width;
    mode.dwHeight = height;
    mode.lPitch = static_cast<LONG>(width * ((bitsPerPixel + 7) / 8));
    mode.dwRefreshRate = refreshRate;
    switch (bitsPerPixel) {
    case 8:
        mode.ddpfPixelFormat = ddraw::MakePixelFormat(PixelKind::PAL8);
        break;
    case 16:
        mode.ddpfPixelFormat = ddraw::MakePixelFormat(PixelKind::RGB565);
        break;
    case 24:
        mode.ddpfPixelFormat = ddraw::MakePixelFormat(PixelKind::RGB888);
        break;
    default:
        mode.ddpfPixelFormat = ddraw::MakePixelFormat(PixelKind::XRGB8888);
        mode.ddpfPixelFormat.dwRGBBitCount = bitsPerPixel;
        break;
    }
    mode.ddsCaps.dwCaps2 = caps2;
    return mode;
}

std::vector<DDSURFACEDESC2> StandardDisplayModes() {
    const DWORD sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {1600, 1200}};
    std::vector<DDSURFACEDESC2> modes;
    for (const auto& size : sizes) {
        for (DWORD bits : {8u, 16u, 32u}) {
            modes.push_back(MakeDisplayMode(size[0], size[1], bits));
        }
    }
    return modes;
}

DDCAPS StandardDriverCaps() {
    DDCAPS caps{};
    caps.dwSize = sizeof(DDCAPS);
    caps.dwCaps = DDCAPS_3D | DDCAPS_BLT | DDCAPS_BLTSTRETCH | DDCAPS_PALETTE | DDCAPS_CANBLTSYSMEM;
    caps.dwCaps2 = DDCAPS2_CANRENDERWINDOWED;
    caps.dwPalCaps = DDPCAPS_8BIT | DDPCAPS_ALLOW256;
    caps.dwZBufferBitDepths = DDBD_16 | DDBD_24 | DDBD_32;
    caps.dwVidMemTotal = 64u << 20;
    caps.dwVidMemFree = 64u << 20;
    caps.ddsCaps.dwCaps = DDSCAPS_BACKBUFFER | DDSCAPS_COMPLEX | DDSCAPS_FLIP |
                          DDSCAPS_FRONTBUFFER | DDSCAPS_OFFSCREENPLAIN | DDSCAPS_PALETTE |
                          DDSCAPS_PRIMARYSURFACE | DDSCAPS_SYSTEMMEMORY | DDSCAPS_TEXTURE |
                          DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY | DDSCAPS_ZBUFFER;
    caps.ddsOldCaps.dwCaps = caps.ddsCaps.dwCaps;
    return caps;
}

DDCAPS StandardEmulationCaps() {
    DDCAPS caps{};
    caps.dwSize = sizeof(DDCAPS);
    caps.dwCaps = DDCAPS_BLT | DDCAPS_BLTSTRETCH | DDCAPS_PALETTE | DDCAPS_CANBLTSYSMEM;
    caps.dwPalCaps = DDPCAPS_8BIT | DDPCAPS_ALLOW256;
    caps.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_PALETTE | DDSCAPS_SYSTEMMEMORY |
                          DDSCAPS_TEXTURE | DDSCAPS_ZBUFFER;
    caps.ddsOldCaps.dwCaps = caps.ddsCaps.dwCaps;
    return caps;
}

std::vector<DDPIXELFORMAT> StandardTextureFormats() {
    using ddraw::PixelKind;
    std::vector<DDPIXELFORMAT> formats;
    for (PixelKind kind :
         {PixelKind::RGB565, PixelKind::XRGB1555, PixelKind::ARGB1555, PixelKind::ARGB4444,
          PixelKind::XRGB8888, PixelKind::ARGB8888, PixelKind::PAL8}) {
        formats.push_back(ddraw::MakePixelFormat(kind));
    }
    return formats;
}

std::vector<DDPIXELFORMAT> StandardZBufferFormats() {
    using ddraw::PixelKind;
    return {ddraw::MakePixelFormat(PixelKind::Z16), ddraw::MakePixelFormat(PixelKind::Z24),
            ddraw::MakePixelFormat(PixelKind::Z32)};
}

D3DDEVICEDESC7 StandardDeviceDesc(const GUID& deviceGuid, bool hardware) {
    D3DDEVICEDESC7 desc{};
    desc.dwDevCaps = D3DDEVCAPS_FLOATTLVERTEX | D3DDEVCAPS_EXECUTESYSTEMMEMORY |
                     D3DDEVCAPS_TLVERTEXSYSTEMMEMORY | D3DDEVCAPS_TEXTURESYSTEMMEMORY |
                     D3DDEVCAPS_DRAWPRIMTLVERTEX | D3DDEVCAPS_CANRENDERAFTERFLIP |
                     D3DDEVCAPS_DRAWPRIMITIVES2 | D3DDEVCAPS_DRAWPRIMITIVES2EX;
    if (hardware) {
        desc.dwDevCaps |= D3DDEVCAPS_TEXTUREVIDEOMEMORY | D3DDEVCAPS_HWRASTERIZATION;
    }
    desc.dpcLineCaps = StandardPrimitiveCaps();
    desc.dpcTriCaps = StandardPrimitiveCaps();
    desc.dwDeviceRenderBitDepth = DDBD_16 | DDBD_32;
    desc.dwDeviceZBufferBitDepth = DDBD_16 | DDBD_24 | DDBD_32;
    desc.dwMinTextureWidth = 1;
    desc.dwMinTextureHeight = 1;
    desc.dwMaxTextureWidth = 2048;
    desc.dwMaxTextureHeight = 2048;
    desc.dwMaxTextureRepeat = 8192;
    desc.dwMaxTextureAspectRatio = 2048;
    desc.dwMaxAnisotropy = 1;
    desc.dwFVFCaps = ONE_TEXTURE_COORDINATE_SET;
    desc.dwTextureOpCaps = TEXTURE_OPS;
    desc.wMaxTextureBlendStages = 1;
    desc.wMaxSimultaneousTextures = 1;
    desc.dwMaxActiveLights = 8;
    desc.dvMaxVertexW = 1.0e10f;
    desc.deviceGUID = deviceGuid;
    return desc;
}

} // namespace drivers
