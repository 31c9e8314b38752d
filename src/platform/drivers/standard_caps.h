// What this platform's drivers report: display modes, driver capabilities, 3D device
// capabilities and the texture and z-buffer formats in their listing order. The real driver set
// and the typical fake driver of the tests are built from the same records.
#pragma once

#include <vector>

#include "platform/d3d/d3d.h"

namespace drivers {

// A display mode record: 8 bits are palette-indexed, 16 bits RGB565, 24 bits RGB888, 32 bits
// XRGB8888.
DDSURFACEDESC2 MakeDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel,
                               DWORD refreshRate = 60, DWORD caps2 = 0);

// 640 x 480, 800 x 600, 1024 x 768, 1280 x 1024 and 1600 x 1200, each at 8, 16 and 32 bits.
std::vector<DDSURFACEDESC2> StandardDisplayModes();

// Blits with stretching, palettes, 3D, and rendering into a window.
DDCAPS StandardDriverCaps();
// The emulation layer's: blits and palettes only.
DDCAPS StandardEmulationCaps();

// Texture formats in listing order. A texture takes the first format that fits its image, so
// the order decides the picture: RGB565 first, because an opaque 16-bit image then keeps six bits
// of green, as the cards of the time preferred their native format; then the 1555 pair and 4444
// for images with alpha; the 32-bit pair for deep images; the 8-bit palettised format last, so
// that 8-bit images are stored with their exact palette colours.
std::vector<DDPIXELFORMAT> StandardTextureFormats();
// 16, 24 and 32 bits.
std::vector<DDPIXELFORMAT> StandardZBufferFormats();

// A device description: hardware rasterisation (D3DDEVCAPS_HWRASTERIZATION) or not, 16- and
// 32-bit rendering, power-of-two textures up to 2048, one texture stage, eight lights.
D3DDEVICEDESC7 StandardDeviceDesc(const GUID& deviceGuid, bool hardware);

} // namespace drivers
