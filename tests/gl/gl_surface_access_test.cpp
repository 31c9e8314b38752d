// The render target's pixels between the software GL device and the CPU: writes through Lock
// reach the picture, blits out of the target see what was drawn, and a full-screen flip hands
// the frame to the frame sink.
#include <gtest/gtest.h>

#include <vector>

#include "platform/ddraw/pixel_formats.h"
#include "platform/host/presentation.h"
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
    gl_test::FlipRig rig(320, 240, 16);
    ASSERT_NE(rig.device, nullptr);
    rig.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00FF8000, 1, 0);
    ASSERT_TRUE(rig.Flip());
    ASSERT_EQ(rig.frameWidth, 320);
    ASSERT_EQ(rig.frame.size(), size_t(320 * 240 * 4));
    // Orange in RGB565: red full, green 32 of 63 levels.
    EXPECT_EQ(rig.frame[0], 255);
    EXPECT_NEAR(rig.frame[1], 130, 2);
    EXPECT_EQ(rig.frame[2], 0);
}

} // namespace
