// The render target's pixels between the software GL device and the CPU: writes through Lock
// reach the picture, blits out of the target see what was drawn, and a full-screen flip hands
// the frame to the frame sink.
#include <gtest/gtest.h>

#include <vector>

#include "platform/ddraw/pixel_formats.h"
#include "platform/host/presentation.h"
#include "support/fake_drivers.h"
#include "support/gl_test_support.h"

namespace {

TEST(GlSurfaceAccess, CpuWritesAndBlitsMeetTheDrawnPicture) {
    gl_test::OffscreenRig rig(64, 48, 32);
    ASSERT_TRUE(rig.Ready()) << rig.Failure();
    rig.SetUpPlainScene();
    rig.device->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    rig.device->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    rig.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1, 0);
    rig.device->BeginScene();
    rig.DrawQuad(-1, -1, 0, 1); // white left half

    // A blue block written by the CPU in the top right corner.
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(rig.target->Lock(nullptr, &desc, 0, nullptr), DD_OK);
    for (int y = 0; y < 8; ++y) {
        auto* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch);
        for (int x = 56; x < 64; ++x) {
            row[x] = 0x0000FF;
        }
    }
    ASSERT_EQ(rig.target->Unlock(nullptr), DD_OK);

    // Drawing goes on over it.
    rig.DrawQuad(-1, -1, 1, -0.5f);
    rig.device->EndScene();
    EXPECT_EQ(rig.Pixel(10, 20).r, 255);
    EXPECT_EQ(rig.Pixel(60, 4).b, 255);
    EXPECT_EQ(rig.Pixel(60, 4).r, 0);
    EXPECT_EQ(rig.Pixel(60, 46).g, 255);
    EXPECT_EQ(rig.Pixel(40, 20).g, 0);

    // A blit out of the target copies what was drawn, scaled.
    DDSURFACEDESC2 copyDesc{};
    copyDesc.dwSize = sizeof(copyDesc);
    copyDesc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    copyDesc.dwWidth = 32;
    copyDesc.dwHeight = 24;
    copyDesc.ddpfPixelFormat = ddraw::MakePixelFormat(ddraw::PixelKind::XRGB8888);
    copyDesc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    IDirectDrawSurface7* copy = nullptr;
    ASSERT_EQ(rig.directDraw->CreateSurface(&copyDesc, &copy, nullptr), DD_OK);
    ASSERT_EQ(copy->Blt(nullptr, rig.target, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    ASSERT_EQ(copy->Lock(nullptr, &copyDesc, DDLOCK_READONLY, nullptr), DD_OK);
    auto at = [&](int x, int y) {
        return reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(copyDesc.lpSurface) +
                                              y * copyDesc.lPitch)[x] &
               0xFFFFFF;
    };
    EXPECT_EQ(at(5, 10), 0xFFFFFFu);
    EXPECT_EQ(at(30, 1), 0x0000FFu);
    EXPECT_EQ(at(20, 10), 0u);
    copy->Unlock(nullptr);
    EXPECT_EQ(copy->Release(), 0u);
}

TEST(GlSurfaceAccess, AFullScreenFlipHandsTheFrameToTheSink) {
    host::ScopedDrivers drivers({test_drivers::FakeDriver()
                                     .Mode(320, 240, 16)
                                     .Device(drivers::GlDevice(drivers::GlKind::SOFTWARE, "EGL"))
                                     .Build()});
    std::vector<BYTE> frame;
    int width = 0;
    host::SetFrameSink([&](const host::PresentedFrame& presented) {
        width = presented.width;
        frame.assign(presented.rgba, presented.rgba + presented.pitch * presented.height);
    });
    void* object = nullptr;
    ASSERT_EQ(DirectDrawCreateEx(nullptr, &object, IID_IDirectDraw7, nullptr), DD_OK);
    auto* directDraw = static_cast<IDirectDraw7*>(object);
    const HWND window = reinterpret_cast<HWND>(0x4242); // a window without a native one
    ASSERT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), DD_OK);
    ASSERT_EQ(directDraw->SetDisplayMode(320, 240, 16, 0, 0), DD_OK);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps =
        DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    IDirectDrawSurface7* primary = nullptr;
    ASSERT_EQ(directDraw->CreateSurface(&desc, &primary, nullptr), DD_OK);
    DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
    IDirectDrawSurface7* back = nullptr;
    ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
    IDirect3D7* direct3D = nullptr;
    directDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&direct3D));
    IDirect3DDevice7* device = nullptr;
    ASSERT_EQ(direct3D->CreateDevice(IID_IDirect3DRGBDevice, back, &device), D3D_OK);

    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00FF8000, 1, 0);
    ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    host::SetFrameSink(nullptr);
    ASSERT_EQ(width, 320);
    ASSERT_EQ(frame.size(), size_t(320 * 240 * 4));
    // Orange in RGB565: red full, green 32 of 63 levels.
    EXPECT_EQ(frame[0], 255);
    EXPECT_NEAR(frame[1], 130, 2);
    EXPECT_EQ(frame[2], 0);

    EXPECT_EQ(device->Release(), 0u);
    back->Release();
    primary->Release();
    direct3D->Release();
    EXPECT_EQ(directDraw->Release(), 0u);
}

} // namespace
