// Rasterisation on the software GL device: which way up the picture is, culling by turning
// sense, depth 0..1 with the z test, clears of rectangles, viewports.
#include <gtest/gtest.h>

#include "support/gl_test_support.h"

namespace {

class GlRaster : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.Ready()) << rig.Failure();
        rig.SetUpPlainScene();
        rig.device->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE); // everything white
        rig.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1, 0);
        rig.device->BeginScene();
    }

    void Triangle(bool clockwise) {
        // On screen (y down): top, right, left is clockwise.
        D3DVERTEX top{0, 0.8f, 0.5f, 0, 0, -1, 0, 0};
        D3DVERTEX right{0.8f, -0.8f, 0.5f, 0, 0, -1, 0, 0};
        D3DVERTEX left{-0.8f, -0.8f, 0.5f, 0, 0, -1, 0, 0};
        D3DVERTEX triangle[3] = {top, clockwise ? right : left, clockwise ? left : right};
        rig.device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, triangle, 3, 0);
    }

    bool Lit(int x, int y) { return rig.Pixel(x, y).r > 128; }

    gl_test::OffscreenRig rig{64, 48, 32};
};

TEST_F(GlRaster, PositiveYIsTheTopOfThePicture) {
    rig.DrawQuad(-1, 0, 1, 1);
    rig.Save("top_half");
    EXPECT_TRUE(Lit(32, 5));
    EXPECT_FALSE(Lit(32, 42));
}

TEST_F(GlRaster, CounterClockwiseTrianglesAreCulledByDefault) {
    Triangle(false);
    EXPECT_FALSE(Lit(32, 24));
    Triangle(true);
    EXPECT_TRUE(Lit(32, 24));

    rig.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1, 0);
    rig.device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CW);
    Triangle(true);
    EXPECT_FALSE(Lit(32, 24));
    Triangle(false);
    EXPECT_TRUE(Lit(32, 24));

    rig.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1, 0);
    rig.device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    Triangle(false);
    EXPECT_TRUE(Lit(32, 24));
}

TEST_F(GlRaster, DepthRunsFromZeroToOneWithALessOrEqualTest) {
    rig.device->SetRenderState(D3DRENDERSTATE_LIGHTING, TRUE);
    rig.SetGrey(0.5f);
    rig.DrawQuad(-1, -1, 1, 1, 0.3f);
    rig.SetGrey(1.0f);
    rig.DrawQuad(-1, -1, 1, 1, 0.6f); // behind: hidden
    EXPECT_NEAR(rig.Pixel(32, 24).r, 128, 1);
    rig.DrawQuad(-1, -1, 1, 1, 0.3f); // equal depth passes
    EXPECT_EQ(rig.Pixel(32, 24).r, 255);

    // Both ends of the range are inside it; beyond them the quad is clipped away.
    rig.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1, 0);
    rig.DrawQuad(-1, -1, 0, 1, 0.0f);
    rig.DrawQuad(0, -1, 1, 1, 1.0f);
    EXPECT_EQ(rig.Pixel(16, 24).r, 255);
    EXPECT_EQ(rig.Pixel(48, 24).r, 255);
    rig.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1, 0);
    rig.DrawQuad(-1, -1, 0, 1, -0.01f);
    rig.DrawQuad(0, -1, 1, 1, 1.01f);
    EXPECT_EQ(rig.Pixel(16, 24).r, 0);
    EXPECT_EQ(rig.Pixel(48, 24).r, 0);

    // With z-buffering off the later quad wins whatever its depth.
    rig.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1, 0);
    rig.DrawQuad(-1, -1, 1, 1, 0.3f);
    rig.device->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    rig.SetGrey(0.5f);
    rig.DrawQuad(-1, -1, 1, 1, 0.9f);
    EXPECT_NEAR(rig.Pixel(32, 24).r, 128, 1);

    // A clear to a nearer depth hides what lies behind it.
    rig.device->SetRenderState(D3DRENDERSTATE_ZENABLE, TRUE);
    rig.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 0.5f, 0);
    rig.DrawQuad(-1, -1, 1, 1, 0.6f);
    EXPECT_EQ(rig.Pixel(32, 24).r, 0);
}

TEST_F(GlRaster, ClearsAndDrawsStayInsideTheViewportAndRectangles) {
    D3DVIEWPORT7 left{0, 0, 32, 48, 0, 1};
    ASSERT_EQ(rig.device->SetViewport(&left), D3D_OK);
    rig.DrawQuad(-1, -1, 1, 1); // fills the viewport only
    EXPECT_TRUE(Lit(16, 24));
    EXPECT_FALSE(Lit(48, 24));

    D3DVIEWPORT7 whole{0, 0, 64, 48, 0, 1};
    rig.device->SetViewport(&whole);
    D3DRECT band{0, 10, 64, 20};
    rig.device->Clear(1, &band, D3DCLEAR_TARGET, 0xFFFF0000, 1, 0);
    rig.Save("viewport_and_band");
    EXPECT_EQ(rig.Pixel(48, 15).r, 255);
    EXPECT_EQ(rig.Pixel(48, 15).g, 0);
    EXPECT_EQ(rig.Pixel(48, 25).r, 0);
    EXPECT_EQ(rig.Pixel(16, 9).g, 255) << "above the band the white quad stays";
}

} // namespace
