// The rosette on the recording device: the envelope of its two greys, the copies' world
// matrices, and the hand-over to the finale under the same states.
#include <gtest/gtest.h>

#include "demo/scene_objects.h"
#include "support/scene_test_support.h"

using namespace scene_test;

namespace {

class RosetteSceneTest : public SceneLogicTest {};

TEST_F(RosetteSceneTest, FrontAndEchoFollowTheEnvelopeEvenBelowZero) {
    struct Moment {
        float t, k;
    };
    const Moment moments[] = {{1.0f, -0.2f}, {2.0f, 0.0f},  {4.5f, 0.5f},  {7.0f, 1.0f},
                              {12.0f, 1.0f}, {14.5f, 0.5f}, {17.0f, 0.0f}, {20.0f, -0.6f}};
    for (const Moment& m : moments) {
        SCOPED_TRACE(m.t);
        const DrawLog log = DrawScene(rosetteScene, m.t);
        ASSERT_GE(log.renders.size(), 30u);
        for (size_t r = 0; r < 30; ++r) {
            const float grey = (r % 2 == 0 ? 0.2f : 0.1f) * m.k;
            EXPECT_TRUE(IsGrey(log.renders[r].state.material, grey)) << "render " << r;
            EXPECT_EQ(log.renders[r].state.textures[0], nullptr);
        }
    }
    const DrawLog log = DrawScene(rosetteScene, 4.5f);
    EXPECT_TRUE(IsGrey(log.renders[0].state.material, 0.1f));
    EXPECT_TRUE(IsGrey(log.renders[1].state.material, 0.05f));
}

TEST_F(RosetteSceneTest, FifteenCopiesTurnAboutTheLineOfSightWithTheEchoBehind) {
    const float t = 6.3f;
    const DrawLog log = DrawScene(rosetteScene, t);
    ASSERT_EQ(log.renders.size(), 30u);
    const double u = t - 2.0;
    for (int j : {0, 1, 7, 14}) {
        const double g = u + j / 2.1;
        const Matrix front = RotationZ(u + 1.5) * RotationY(g + 1.5) * Translation(0, 550, 0);
        const Matrix echo = RotationZ(u + 1.2) * RotationY(g + 1.2) * Translation(0, 530, 0);
        EXPECT_TRUE(MatrixNear(log.renders[size_t(2 * j)].state.world, front, 1e-4)) << j;
        EXPECT_TRUE(MatrixNear(log.renders[size_t(2 * j + 1)].state.world, echo, 1e-4)) << j;
    }
    for (const RenderCall& render : log.renders) {
        EXPECT_EQ(render.state.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE], TRUE);
        EXPECT_EQ(render.state.renderStates[D3DRENDERSTATE_ZENABLE], FALSE);
    }
    EXPECT_TRUE(log.quads.empty());
}

TEST_F(RosetteSceneTest, TheFinaleJoinsJustAfter13AndTheStatesGoBackEitherWay) {
    DrawLog log = DrawScene(rosetteScene, 13.0f);
    EXPECT_EQ(log.renders.size(), 30u);
    EXPECT_TRUE(log.quads.empty());
    EXPECT_EQ(log.end.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE], FALSE);
    EXPECT_EQ(log.end.renderStates[D3DRENDERSTATE_ZENABLE], TRUE);
    EXPECT_TRUE(recording->CallsOf(d3d::DeviceMethod::SetRenderState).size() >= 4u);
    for (const d3d::DeviceCall* call : recording->CallsOf(d3d::DeviceMethod::SetRenderState)) {
        EXPECT_NE(call->id, DWORD(D3DRENDERSTATE_CULLMODE)) << "culling is left alone";
    }

    log = DrawScene(rosetteScene, 13.5f);
    ASSERT_EQ(log.renders.size(), 30u + 120u);
    ASSERT_EQ(log.quads.size(), 2u) << "the finale's bands; no title before its 25 s";
    // The finale at its local time 0.5: band 1 from 0.1 to 4.1 across.
    EXPECT_FLOAT_EQ(log.quads[0].draw->vertices[0].tu, 4.1f);
    EXPECT_FLOAT_EQ(log.quads[0].draw->vertices[2].tu, 0.1f);
    EXPECT_EQ(log.quads[0].state.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE], TRUE);
    EXPECT_EQ(log.end.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE], FALSE);
    EXPECT_EQ(log.end.renderStates[D3DRENDERSTATE_ZENABLE], TRUE);
}

} // namespace
