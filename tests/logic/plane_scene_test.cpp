// The plane lattice on the recording device: the fade, the flash at 20 s and the cut to faster
// angles, the planes' world matrices and vertices, culling, and the hand-over to the rosette.
#include <gtest/gtest.h>

#include "demo/scene_objects.h"
#include "support/scene_test_support.h"
#include "texture/texture_store.h"

using namespace scene_test;

namespace {

class PlaneSceneTest : public SceneLogicTest {};

constexpr float OFFSETS[] = {-250, -150, -50, 50};

Matrix Turn(double t) {
    return t < 20 ? RotationY(t / 16 + 42) * RotationZ(t / 4 + 22)
                  : RotationY(t / 14 + 92) * RotationZ(t / 11 + 82);
}

bool IsFlash(const QuadCall& quad) {
    return quad.draw->vertices[0].x == 550.0f;
}

TEST_F(PlaneSceneTest, ThePlanesFadeInOverFiveSecondsAndNoFlashComesBefore20) {
    struct Moment {
        float t, grey;
    };
    for (const Moment m : {Moment{0.0f, 0.0f}, Moment{2.5f, 0.15f}, Moment{4.9f, 0.294f},
                           Moment{5.0f, 0.3f}, Moment{19.99f, 0.3f}, Moment{30.0f, 0.3f}}) {
        SCOPED_TRACE(m.t);
        const DrawLog log = DrawScene(planeScene, m.t);
        const size_t planes = m.t < 20 ? 8 : 12;
        ASSERT_GE(log.quads.size(), planes);
        size_t flashes = 0;
        for (size_t q = 0; q < planes; ++q) {
            if (IsFlash(log.quads[q])) {
                ++flashes;
                continue;
            }
            EXPECT_TRUE(IsGrey(log.quads[q].state.material, m.grey)) << "quad " << q;
            EXPECT_EQ(log.quads[q].state.textures[0], GetTextureSurface("file.bmp"));
        }
        EXPECT_EQ(flashes, m.t < 20 ? 0u : 4u);
    }
    EXPECT_NE(GetTextureSurface("file.bmp"), nullptr);
}

TEST_F(PlaneSceneTest, TheFlashAt20CoversTheCutAndIsGoneWithinHalfASecond) {
    struct Moment {
        float t, flash;
    };
    for (const Moment m : {Moment{20.0f, 1.0f}, Moment{20.25f, 0.5f}, Moment{20.5f, 0.0f},
                           Moment{21.0f, -1.0f}, Moment{22.0f, 0.0f}}) {
        SCOPED_TRACE(m.t);
        const DrawLog log = DrawScene(planeScene, m.t);
        ASSERT_EQ(log.quads.size(), 12u);
        EXPECT_TRUE(log.renders.empty()) << "the rosette needs t > 22";
        // Each pass: the flash, then its horizontal and its vertical plane.
        for (size_t pass = 0; pass < 4; ++pass) {
            const QuadCall& flash = log.quads[pass * 3];
            ASSERT_TRUE(IsFlash(flash)) << "pass " << pass;
            EXPECT_TRUE(IsGrey(flash.state.material, m.flash));
            EXPECT_EQ(flash.state.textures[0], nullptr);
            EXPECT_TRUE(MatrixNear(flash.state.world, Identity(), 0.0));
            EXPECT_TRUE(IsQuad(flash, {{550, 0, 550, 0, 0},
                                       {550, 0, -550, 1, 0},
                                       {-550, 0, 550, 0, 1},
                                       {-550, 0, -550, 1, 1}}));
        }
    }
}

TEST_F(PlaneSceneTest, TheEightPlanesTurnAsOneLatticeAndTheImageSlides) {
    for (float t : {3.0f, 19.99f, 20.0f, 27.5f}) {
        SCOPED_TRACE(t);
        const DrawLog log = DrawScene(planeScene, t);
        const bool flash = t >= 20;
        ASSERT_EQ(log.quads.size(), flash ? 12u : 8u);
        const float c = 0.2f * t;
        for (size_t pass = 0; pass < 4; ++pass) {
            const size_t first = pass * (flash ? 3 : 2) + (flash ? 1 : 0);
            const QuadCall& horizontal = log.quads[first];
            const QuadCall& vertical = log.quads[first + 1];
            const double d = OFFSETS[pass];
            // The offset acts first, then both turns about the origin.
            EXPECT_TRUE(MatrixNear(horizontal.state.world, Translation(0, d, 0) * Turn(t), 1e-4));
            EXPECT_TRUE(MatrixNear(vertical.state.world, Translation(0, 0, d) * Turn(t), 1e-4));
            EXPECT_TRUE(IsQuad(horizontal, {{850, 0, 850, c + 4, 0},
                                            {850, 0, -850, c + 4, 4},
                                            {-850, 0, 850, c, 0},
                                            {-850, 0, -850, c, 4}}));
            // The vertical plane stands in x and y, with the same normal and coordinates.
            EXPECT_TRUE(IsQuad(vertical, {{850, 850, 0, c + 4, 0},
                                          {850, -850, 0, c + 4, 4},
                                          {-850, 850, 0, c, 0},
                                          {-850, -850, 0, c, 4}}));
        }
    }
}

TEST_F(PlaneSceneTest, CullingIsOffOnlyWhileItDrawsAndTheRosetteFollowsAfter22) {
    DrawLog log = DrawScene(planeScene, 10.0f);
    for (const QuadCall& quad : log.quads) {
        EXPECT_EQ(quad.state.renderStates[D3DRENDERSTATE_CULLMODE], DWORD(D3DCULL_NONE));
        EXPECT_EQ(quad.state.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE], TRUE);
        EXPECT_EQ(quad.state.renderStates[D3DRENDERSTATE_ZENABLE], FALSE);
    }
    EXPECT_EQ(log.end.renderStates[D3DRENDERSTATE_CULLMODE], DWORD(D3DCULL_CCW));
    EXPECT_EQ(log.end.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE], FALSE);
    EXPECT_EQ(log.end.renderStates[D3DRENDERSTATE_ZENABLE], TRUE);

    log = DrawScene(planeScene, 23.0f);
    ASSERT_EQ(log.renders.size(), 30u) << "the rosette at its own time 1";
    EXPECT_EQ(log.quads.size(), 12u);
    // The rosette at t = 1 is before its envelope starts: a negative grey, black.
    EXPECT_TRUE(IsGrey(log.renders[0].state.material, -0.04f));
    EXPECT_TRUE(IsGrey(log.renders[1].state.material, -0.02f));
    EXPECT_EQ(log.renders[0].state.renderStates[D3DRENDERSTATE_CULLMODE], DWORD(D3DCULL_CCW));
    EXPECT_EQ(log.end.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE], FALSE);
    EXPECT_EQ(log.end.renderStates[D3DRENDERSTATE_ZENABLE], TRUE);
}

} // namespace
