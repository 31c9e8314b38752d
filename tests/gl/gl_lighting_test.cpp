// Per-vertex lighting on the software GL device: grey levels, the ambient state, clamping of
// negative and bright materials, normals through the world matrix, unlit drawing.
#include <gtest/gtest.h>

#include <cmath>

#include "support/gl_test_support.h"

namespace {

class GlLighting : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.Ready()) << rig.Failure();
        rig.SetUpPlainScene();
        rig.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000040, 1, 0);
        rig.device->BeginScene();
    }

    // Draws a centred quad in the given grey and answers the red channel at the centre.
    int LitRed(float grey) {
        rig.SetGrey(grey);
        rig.DrawQuad(-0.5f, -0.5f, 0.5f, 0.5f);
        return rig.Pixel(32, 24).r;
    }

    gl_test::OffscreenRig rig{64, 48, 32};
};

TEST_F(GlLighting, AGreyQuadLightsToItsGreyLevelAndTheBackgroundStaysCleared) {
    rig.SetGrey(0.5f);
    rig.DrawQuad(-0.5f, -0.5f, 0.5f, 0.5f);
    rig.device->EndScene();
    rig.Save("lit_grey_quad");
    const gl_test::Rgb centre = rig.Pixel(32, 24);
    EXPECT_NEAR(centre.r, 128, 1);
    EXPECT_NEAR(centre.g, 128, 1);
    EXPECT_NEAR(centre.b, 128, 1);
    const gl_test::Rgb corner = rig.Pixel(2, 2);
    EXPECT_EQ(corner.r, 0);
    EXPECT_EQ(corner.b, 0x40);
}

TEST_F(GlLighting, TheAmbientStateAddsAmbientTimesTheMaterial) {
    // 0xAAAAAAAA is two thirds grey: 0.5 x 2/3 + 0.5 x 1 = 5/6.
    rig.device->SetRenderState(D3DRENDERSTATE_AMBIENT, 0xAAAAAAAA);
    EXPECT_NEAR(LitRed(0.5f), 213, 1);
}

TEST_F(GlLighting, NegativeMaterialsLightToBlackAndBrightOnesClampToWhite) {
    rig.device->SetRenderState(D3DRENDERSTATE_AMBIENT, 0xAAAAAAAA);
    EXPECT_EQ(LitRed(-0.5f), 0);
    EXPECT_EQ(LitRed(3.0f), 255);
}

TEST_F(GlLighting, NormalsTurnWithTheWorldMatrix) {
    // The quad turned 60 degrees about the vertical axis faces the light at 60 degrees:
    // half of its grey.
    const float angle = 3.14159265f / 3.0f;
    D3DMATRIX world{};
    world._11 = std::cos(angle);
    world._13 = -std::sin(angle);
    world._22 = 1;
    world._31 = std::sin(angle);
    world._33 = std::cos(angle);
    world._43 = 0.5f; // keep the turned quad inside the depth range
    world._44 = 1;
    rig.device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
    rig.device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    rig.SetGrey(1.0f);
    rig.DrawQuad(-0.5f, -0.5f, 0.5f, 0.5f, 0.0f);
    EXPECT_NEAR(rig.Pixel(32, 24).r, 128, 2);
}

TEST_F(GlLighting, WithoutLightingVerticesAreWhite) {
    rig.device->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    EXPECT_EQ(LitRed(0.1f), 255);
}

TEST_F(GlLighting, APointLightFadesWithDistance) {
    // A light just in front of a small quad, with attenuation 1 / (0 + 1 x d): at distance 2 half
    // of the grey, beyond its range nothing.
    rig.device->LightEnable(0, FALSE);
    D3DLIGHT7 light{};
    light.dltType = D3DLIGHT_POINT;
    light.dcvDiffuse = {1, 1, 1, 1};
    light.dvPosition = {0, 0, -1.5f};
    light.dvAttenuation1 = 1.0f;
    light.dvRange = 100.0f;
    rig.device->SetLight(1, &light);
    rig.device->LightEnable(1, TRUE);
    rig.SetGrey(1.0f);
    rig.DrawQuad(-0.05f, -0.05f, 0.05f, 0.05f, 0.5f);
    EXPECT_NEAR(rig.Pixel(32, 24).r, 128, 2);

    light.dvRange = 1.0f;
    rig.device->SetLight(1, &light);
    rig.DrawQuad(-0.05f, -0.05f, 0.05f, 0.05f, 0.4f);
    EXPECT_EQ(rig.Pixel(32, 24).r, 0);
}

} // namespace
