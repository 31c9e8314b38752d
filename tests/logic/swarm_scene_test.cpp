// The swarm scene on the recording device: the row greys under its fade, the chains' world
// matrices, the scrolling strip and the backdrop, and the hand-over to the plane lattice.
#include <gtest/gtest.h>

#include <cmath>

#include "demo/scene_objects.h"
#include "support/scene_test_support.h"
#include "texture/texture_store.h"

using namespace scene_test;

namespace {

class SwarmSceneTest : public SceneLogicTest {};

// Row r's copy j: turned about its centre, moved out to d along z, then carried about the
// origin by every link of its row so far.
Matrix ExpectedCopy(double t, int row, int copy) {
    const double d = -300 + 30 * row;
    Matrix world = RotationY(t + row / 3.0) * RotationX(t + 0.5 * row) * Translation(0, 0, d);
    for (int j = 0; j <= copy; ++j) {
        world = world * (RotationX(0.125 * j + std::sin(t)) * RotationY(0.125 * j + std::cos(t)));
    }
    return world;
}

TEST_F(SwarmSceneTest, RowGreysRiseFromTheFarSideToRowNineAndFallAfterIt) {
    struct Moment {
        float t, k;
    };
    const Moment moments[] = {{0.0f, 0.0f},  {2.5f, 0.25f}, {5.0f, 0.5f},  {7.0f, 0.5f},
                              {10.0f, 0.5f}, {12.0f, 0.3f}, {16.0f, -0.1f}};
    for (const Moment& m : moments) {
        SCOPED_TRACE(m.t);
        const DrawLog log = DrawScene(swarmScene, m.t);
        ASSERT_EQ(log.renders.size(), 160u);
        for (int row = 0; row < 20; ++row) {
            const float grey = row < 10 ? 0.1f * row * m.k : (1.0f - 0.05f * row) * m.k;
            for (int copy = 0; copy < 8; ++copy) {
                EXPECT_TRUE(IsGrey(log.renders[size_t(row * 8 + copy)].state.material, grey))
                    << "row " << row << " copy " << copy;
            }
        }
        ASSERT_GE(log.quads.size(), 2u);
        EXPECT_TRUE(IsGrey(log.quads[0].state.material, 0.5f * m.k)) << "strip";
        // The backdrop keeps pulsing whatever the fade.
        EXPECT_TRUE(IsGrey(log.quads[1].state.material, std::sin(double(m.t)) / 3.0)) << "backdrop";
    }
    // The numbers the show is known by, while the fade holds.
    const DrawLog log = DrawScene(swarmScene, 7.0f);
    EXPECT_TRUE(IsGrey(log.renders[9 * 8].state.material, 0.45f)) << "row 9, the brightest";
    EXPECT_TRUE(IsGrey(log.renders[10 * 8].state.material, 0.25f)) << "row 10, at the origin";
    EXPECT_TRUE(IsGrey(log.renders[0].state.material, 0.0f)) << "row 0, always black";
}

TEST_F(SwarmSceneTest, EachCopyIsTheOneBeforeTurnedOnceMore) {
    for (float t : {0.0f, 4.25f, 11.5f}) {
        SCOPED_TRACE(t);
        const DrawLog log = DrawScene(swarmScene, t);
        ASSERT_EQ(log.renders.size(), 160u);
        for (auto [row, copy] : {std::pair{0, 0}, {3, 7}, {10, 0}, {10, 5}, {19, 4}}) {
            EXPECT_TRUE(MatrixNear(log.renders[size_t(row * 8 + copy)].state.world,
                                   ExpectedCopy(t, row, copy), 2e-4))
                << "row " << row << " copy " << copy;
        }
        // The middle row sits at the origin, only turned.
        for (int copy = 0; copy < 8; ++copy) {
            const D3DMATRIX& world = log.renders[size_t(80 + copy)].state.world;
            EXPECT_NEAR(world._41, 0.0f, 1e-4f);
            EXPECT_NEAR(world._42, 0.0f, 1e-4f);
            EXPECT_NEAR(world._43, 0.0f, 1e-4f);
        }
        for (const RenderCall& render : log.renders) {
            EXPECT_EQ(render.state.textures[0], nullptr);
        }
    }
}

TEST_F(SwarmSceneTest, TheStripScrollsOverTheTopOfThePictureAndTheBackdropCoversTheView) {
    const DrawLog log = DrawScene(swarmScene, 7.0f);
    ASSERT_EQ(log.quads.size(), 2u);
    const Corner strip[4] = {{20, 0, 15, 1.3f, 0},
                             {20, 0, -15, 1.3f, 0.11f},
                             {-550, 0, 15, -0.7f, 0},
                             {-550, 0, -15, -0.7f, 0.11f}};
    const Corner backdrop[4] = {{460, 0, 250, 1, 0.2f},
                                {460, 0, -250, 1, 1},
                                {-460, 0, 250, 0, 0.2f},
                                {-460, 0, -250, 0, 1}};
    EXPECT_TRUE(IsQuad(log.quads[0], strip));
    EXPECT_TRUE(IsQuad(log.quads[1], backdrop));
    for (const QuadCall& quad : log.quads) {
        EXPECT_TRUE(MatrixNear(quad.state.world, Identity(), 0.0));
        EXPECT_EQ(quad.state.textures[0], GetTextureSurface("misc.bmp"));
        EXPECT_EQ(quad.state.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE], TRUE);
        EXPECT_EQ(quad.state.renderStates[D3DRENDERSTATE_ZENABLE], FALSE);
    }
}

TEST_F(SwarmSceneTest, TheLatticeJoinsJustAfter13SecondsOnTheSameClockAndTheStatesGoBack) {
    DrawLog log = DrawScene(swarmScene, 13.0f);
    EXPECT_EQ(log.renders.size(), 160u);
    EXPECT_EQ(log.quads.size(), 2u);
    EXPECT_EQ(log.end.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE], FALSE);
    EXPECT_EQ(log.end.renderStates[D3DRENDERSTATE_ZENABLE], TRUE);

    log = DrawScene(swarmScene, 13.5f);
    EXPECT_EQ(log.renders.size(), 160u);
    ASSERT_EQ(log.quads.size(), 2u + 8u) << "the lattice's eight planes, no flash yet";
    // The lattice at its local time 0.5: the texture slid by 0.1 and a grey of 0.03.
    EXPECT_FLOAT_EQ(log.quads[2].draw->vertices[2].tu, 0.1f);
    EXPECT_TRUE(IsGrey(log.quads[2].state.material, 0.03f));
    EXPECT_EQ(log.end.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE], FALSE);
    EXPECT_EQ(log.end.renderStates[D3DRENDERSTATE_ZENABLE], TRUE);
    EXPECT_EQ(log.end.renderStates[D3DRENDERSTATE_CULLMODE], DWORD(D3DCULL_CCW));
}

} // namespace
