// Textures on the software GL device: which row is the top, wrap and clamp addressing over
// coordinates 0..4, stage 0 modulating texture and lit colour, palettes with alpha, and uploads
// again after the surface changed.
#include <gtest/gtest.h>

#include "platform/ddraw/pixel_formats.h"
#include "support/gl_test_support.h"

using ddraw::PixelKind;

namespace {

constexpr DWORD RED = 0xFFFF0000, GREEN = 0xFF00FF00, BLUE = 0xFF0000FF, WHITE = 0xFFFFFFFF;

class GlTexture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.Ready()) << rig.Failure();
        rig.SetUpPlainScene();
        rig.device->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
        rig.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1, 0);
        rig.device->BeginScene();
    }
    void TearDown() override {
        if (texture != nullptr) {
            rig.device->SetTexture(0, nullptr);
            EXPECT_EQ(texture->Release(), 0u);
        }
    }

    void Use(IDirectDrawSurface7* made) {
        texture = made;
        ASSERT_NE(texture, nullptr);
        ASSERT_EQ(rig.device->SetTexture(0, texture), D3D_OK);
    }

    gl_test::OffscreenRig rig{64, 64, 32};
    IDirectDrawSurface7* texture = nullptr;
};

TEST_F(GlTexture, TheFirstRowOfATextureIsAtTheTopOfTheQuad) {
    Use(rig.MakeTexture(1, 2, int(PixelKind::ARGB8888), {RED, BLUE}));
    rig.DrawQuad(-1, -1, 1, 1);
    EXPECT_EQ(rig.Pixel(32, 4).r, 255);
    EXPECT_EQ(rig.Pixel(32, 60).b, 255);
}

TEST_F(GlTexture, WrapAddressingRepeatsCoordinatesZeroToFourAndClampHoldsTheEdge) {
    Use(rig.MakeTexture(2, 1, int(PixelKind::XRGB8888), {RED, GREEN}));
    rig.DrawQuad(-1, -1, 1, 1, 0.5f, 0, 0, 4, 1);
    rig.Save("wrap_0_to_4");
    // Eight 8-pixel bands: red, green, red, green...
    for (int band = 0; band < 8; ++band) {
        const gl_test::Rgb pixel = rig.Pixel(band * 8 + 4, 32);
        EXPECT_EQ(pixel.r, band % 2 == 0 ? 255 : 0) << "band " << band;
        EXPECT_EQ(pixel.g, band % 2 == 0 ? 0 : 255) << "band " << band;
    }

    rig.device->SetTextureStageState(0, D3DTSS_ADDRESS, D3DTADDRESS_CLAMP);
    rig.DrawQuad(-1, -1, 1, 1, 0.4f, 0, 0, 4, 1);
    rig.Save("clamp_0_to_4");
    EXPECT_EQ(rig.Pixel(4, 32).r, 255);
    for (int x : {12, 30, 60}) {
        EXPECT_EQ(rig.Pixel(x, 32).g, 255) << x;
    }
}

TEST_F(GlTexture, StageZeroModulatesTheTextureWithTheLitColour) {
    rig.device->SetRenderState(D3DRENDERSTATE_LIGHTING, TRUE);
    rig.SetGrey(0.5f);
    Use(rig.MakeTexture(1, 1, int(PixelKind::RGB565), {0xF81F})); // magenta
    rig.DrawQuad(-1, -1, 1, 1);
    const gl_test::Rgb pixel = rig.Pixel(32, 32);
    EXPECT_NEAR(pixel.r, 128, 1);
    EXPECT_EQ(pixel.g, 0);
    EXPECT_NEAR(pixel.b, 128, 1);

    rig.device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    rig.DrawQuad(-1, -1, 1, 1, 0.4f);
    EXPECT_EQ(rig.Pixel(32, 32).r, 255) << "the texture alone";

    // With no texture set the lit colour alone shows.
    rig.device->SetTexture(0, nullptr);
    rig.DrawQuad(-1, -1, 1, 1, 0.3f);
    EXPECT_NEAR(rig.Pixel(32, 32).g, 128, 1);
}

TEST_F(GlTexture, PaletteTexturesTakeTheirAlphaFromAnAlphaPalette) {
    Use(rig.MakeTexture(2, 1, int(PixelKind::PAL8), {0, 1}));
    PALETTEENTRY entries[256] = {};
    entries[0] = {0, 0, 0, 0};       // black, transparent
    entries[1] = {255, 255, 0, 255}; // yellow, opaque
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(rig.directDraw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256 | DDPCAPS_ALPHA,
                                            entries, &palette, nullptr),
              DD_OK);
    ASSERT_EQ(texture->SetPalette(palette), DD_OK);
    palette->Release();

    // White underneath; the texture over it with alpha blending.
    rig.device->SetTexture(0, nullptr);
    rig.DrawQuad(-1, -1, 1, 1, 0.9f);
    rig.device->SetTexture(0, texture);
    rig.device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    rig.device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    rig.device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    rig.DrawQuad(-1, -1, 1, 1, 0.5f);
    const gl_test::Rgb left = rig.Pixel(16, 32), right = rig.Pixel(48, 32);
    EXPECT_EQ(left.b, 255) << "transparent: the white shows through";
    EXPECT_EQ(right.b, 0);
    EXPECT_EQ(right.r, 255);
}

TEST_F(GlTexture, AChangedSurfaceIsUploadedAgain) {
    Use(rig.MakeTexture(1, 1, int(PixelKind::XRGB8888), {RED}));
    rig.DrawQuad(-1, -1, 1, 1, 0.5f);
    EXPECT_EQ(rig.Pixel(32, 32).r, 255);

    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = BLUE & 0xFFFFFF;
    ASSERT_EQ(texture->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    rig.DrawQuad(-1, -1, 1, 1, 0.4f);
    EXPECT_EQ(rig.Pixel(32, 32).b, 255);
    EXPECT_EQ(rig.Pixel(32, 32).r, 0);

    IDirectDrawSurface7* white = rig.MakeTexture(1, 1, int(PixelKind::XRGB8888), {WHITE});
    ASSERT_EQ(texture->Blt(nullptr, white, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    white->Release();
    rig.DrawQuad(-1, -1, 1, 1, 0.3f);
    EXPECT_EQ(rig.Pixel(32, 32).g, 255);
}

} // namespace
