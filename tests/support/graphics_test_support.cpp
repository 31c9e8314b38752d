// Helpers for tests of DirectDraw and Direct3D on fake drivers.
#include "support/graphics_test_support.h"

#include <gtest/gtest.h>

namespace gfx_test {

IDirectDraw7* CreateDirectDraw(GUID* driver) {
    void* object = nullptr;
    EXPECT_EQ(DirectDrawCreateEx(driver, &object, IID_IDirectDraw7, nullptr), DD_OK);
    return static_cast<IDirectDraw7*>(object);
}

IDirectDrawSurface7* CreateSurface(IDirectDraw7* directDraw, DWORD width, DWORD height,
                                   ddraw::PixelKind kind, DWORD caps) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddpfPixelFormat = ddraw::MakePixelFormat(kind);
    desc.ddsCaps.dwCaps = caps;
    IDirectDrawSurface7* surface = nullptr;
    EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DD_OK);
    return surface;
}

void WriteRawPixels(IDirectDrawSurface7* surface, const std::vector<DWORD>& pixels) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    const ddraw::PixelLayout layout = ddraw::DescribePixelFormat(desc.ddpfPixelFormat);
    auto* bits = static_cast<BYTE*>(desc.lpSurface);
    ASSERT_EQ(pixels.size(), size_t(desc.dwWidth) * desc.dwHeight);
    for (size_t i = 0; i < pixels.size(); ++i) {
        BYTE* pixel =
            bits + (i / desc.dwWidth) * desc.lPitch + (i % desc.dwWidth) * layout.bytesPerPixel;
        ddraw::WriteRaw(pixel, layout.bytesPerPixel, pixels[i]);
    }
    ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
}

std::vector<DWORD> ReadRawPixels(IDirectDrawSurface7* surface) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    std::vector<DWORD> pixels;
    EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_READONLY, nullptr), DD_OK);
    const ddraw::PixelLayout layout = ddraw::DescribePixelFormat(desc.ddpfPixelFormat);
    const auto* bits = static_cast<const BYTE*>(desc.lpSurface);
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
        for (DWORD x = 0; x < desc.dwWidth; ++x) {
            pixels.push_back(ddraw::ReadRaw(bits + y * desc.lPitch + x * layout.bytesPerPixel,
                                            layout.bytesPerPixel));
        }
    }
    EXPECT_EQ(surface->Unlock(nullptr), DD_OK);
    return pixels;
}

ULONG RefCount(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

} // namespace gfx_test
