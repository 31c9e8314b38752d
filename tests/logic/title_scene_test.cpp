// The title scene on the recording device: its fade and the greys of every draw at the moments
// that shape it, the copies' world matrices and mesh slots, the quads, the hand-over to the
// swarm, and the states it leaves.
#include <gtest/gtest.h>

#include <cmath>

#include "demo/scene_objects.h"
#include "support/scene_test_support.h"
#include "texture/texture_store.h"

using namespace scene_test;

namespace {

class TitleSceneTest : public SceneLogicTest {};

TEST_F(TitleSceneTest, GreysFollowTheFadeAtTheMomentsThatShapeIt) {
    struct Moment {
        float t, k, caption;
    };
    // k starts at one half (T = t + 5), is full from 5 s to 10 s and gone at 15 s; the caption
    // holds one half until 10 s.
    const Moment moments[] = {{0.0f, 0.5f, 0.5f},
                              {5.0f, 1.0f, 0.5f},
                              {10.0f, 1.0f, 0.5f},
                              {12.5f, 0.5f, 0.25f},
                              {15.0f, 0.0f, 0.0f}};
    for (const Moment& m : moments) {
        SCOPED_TRACE(m.t);
        const DrawLog log = DrawScene(titleScene, m.t);
        ASSERT_GE(log.renders.size(), 16u);
        ASSERT_GE(log.quads.size(), 4u);
        for (size_t r = 0; r < 16; ++r) {
            const float grey = (r % 2 == 0 ? 0.4f : 0.2f) * m.k;
            EXPECT_TRUE(IsGrey(log.renders[r].state.material, grey)) << "render " << r;
            EXPECT_EQ(log.renders[r].state.textures[0], nullptr);
        }
        const float title = std::pow(m.k, 32.0f);
        EXPECT_TRUE(IsGrey(log.quads[0].state.material, title, 1e-6f));
        EXPECT_TRUE(IsGrey(log.quads[1].state.material, title, 1e-6f));
        EXPECT_TRUE(IsGrey(log.quads[2].state.material, m.caption));
        const float backdrop = std::sin(0.5f * (m.t + 5.0f)) * 0.25f * m.caption;
        EXPECT_TRUE(IsGrey(log.quads[3].state.material, backdrop));
    }
}

TEST_F(TitleSceneTest, TheTitleCopiesSlideTogetherAsTheyLight) {
    // At t = 0 the title is black (0.5^32) and its copies lie 100 units apart from their place.
    DrawLog log = DrawScene(titleScene, 0.0f);
    ASSERT_EQ(log.quads.size(), 4u);
    EXPECT_LT(log.quads[0].state.material.diffuse.r, 1e-9f);
    const Corner apart1[4] = {
        {550, 0, -140, 1, 0}, {550, 0, -240, 1, 1}, {250, 0, -140, 0, 0}, {250, 0, -240, 0, 1}};
    EXPECT_TRUE(IsQuad(log.quads[0], apart1, 1e-4f));
    const Corner apart2[4] = {
        {350, 0, -140, 1, 0}, {350, 0, -240, 1, 1}, {50, 0, -140, 0, 0}, {50, 0, -240, 0, 1}};
    EXPECT_TRUE(IsQuad(log.quads[1], apart2, 1e-4f));

    // At t = 5 both copies cover x 150..450 exactly and add up.
    log = DrawScene(titleScene, 5.0f);
    ASSERT_EQ(log.quads.size(), 4u);
    const Corner together[4] = {
        {450, 0, -140, 1, 0}, {450, 0, -240, 1, 1}, {150, 0, -140, 0, 0}, {150, 0, -240, 0, 1}};
    EXPECT_TRUE(IsQuad(log.quads[0], together));
    EXPECT_TRUE(IsQuad(log.quads[1], together));
    const Corner caption[4] = {
        {150, 0, -215, 1, 0}, {150, 0, -235, 1, 1}, {-150, 0, -215, 0, 0}, {-150, 0, -235, 0, 1}};
    EXPECT_TRUE(IsQuad(log.quads[2], caption));
    const Corner backdrop[4] = {{460, 0, 250, 1, 0.2f},
                                {460, 0, -250, 1, 1},
                                {-460, 0, 250, 0, 0.2f},
                                {-460, 0, -250, 0, 1}};
    EXPECT_TRUE(IsQuad(log.quads[3], backdrop));

    EXPECT_EQ(log.quads[0].state.textures[0], GetTextureSurface("title.bmp"));
    EXPECT_EQ(log.quads[1].state.textures[0], GetTextureSurface("title.bmp"));
    EXPECT_EQ(log.quads[2].state.textures[0], GetTextureSurface("nosound.bmp"));
    EXPECT_EQ(log.quads[3].state.textures[0], GetTextureSurface("misc.bmp"));
    EXPECT_NE(GetTextureSurface("title.bmp"), nullptr);
    for (const QuadCall& quad : log.quads) {
        EXPECT_TRUE(MatrixNear(quad.state.world, Identity(), 0.0));
    }
}

TEST_F(TitleSceneTest, SlotsTwoToNineAreDrawnTwiceEachUnderTheirOwnTurns) {
    // The unscaled first vertex, from slot 0 (factor 5) drawn by itself.
    recording->ClearLog();
    titleScene.meshes[0]->Render(device);
    const DrawLog alone = ReadLog(*recording);
    ASSERT_EQ(alone.renders.size(), 1u);
    ASSERT_TRUE(alone.renders[0].drewSomething);
    const D3DVERTEX slot0 = alone.renders[0].firstVertex;
    ASSERT_GT(std::fabs(slot0.x) + std::fabs(slot0.y) + std::fabs(slot0.z), 0.0f);

    const float t = 3.7f;
    const DrawLog log = DrawScene(titleScene, t);
    ASSERT_EQ(log.renders.size(), 16u) << "eight slots, each twice";
    for (int slot = 2; slot <= 9; ++slot) {
        SCOPED_TRACE(slot);
        const float factor = float(200 - 20 * slot) / 200.0f;
        for (int copy = 0; copy < 2; ++copy) {
            const RenderCall& render = log.renders[size_t(2 * (slot - 2) + copy)];
            ASSERT_TRUE(render.drewSomething);
            EXPECT_NEAR(render.firstVertex.x, slot0.x * factor, 1e-3f);
            EXPECT_NEAR(render.firstVertex.z, slot0.z * factor, 1e-3f);
        }
        // Turned about y, then z, then x, by angles that grow with time and slot.
        const double T = double(t) + 5.0, i = slot;
        const Matrix first = RotationY(165 + T + 0.12820512 * i) *
                             RotationZ(235 + T + 0.15384616 * i) *
                             RotationX(95 + T + 0.08196721 * i);
        const Matrix second = RotationY(165.2 + T + 0.12820512 * i) *
                              RotationZ(235.2 + T + 0.22222222 * i) *
                              RotationX(95.2 + T + 0.07575758 * i);
        EXPECT_TRUE(MatrixNear(log.renders[size_t(2 * (slot - 2))].state.world, first, 1e-4));
        EXPECT_TRUE(MatrixNear(log.renders[size_t(2 * (slot - 2) + 1)].state.world, second, 1e-4));
    }
}

TEST_F(TitleSceneTest, TheSwarmJoinsJustAfter13SecondsWithItsOwnTimeAndTheStatesGoBack) {
    DrawLog log = DrawScene(titleScene, 13.0f);
    EXPECT_EQ(log.renders.size(), 16u);
    EXPECT_EQ(log.quads.size(), 4u);
    EXPECT_EQ(log.end.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE], FALSE);
    EXPECT_EQ(log.end.renderStates[D3DRENDERSTATE_ZENABLE], TRUE);
    for (const RenderCall& render : log.renders) {
        EXPECT_EQ(render.state.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE], TRUE);
        EXPECT_EQ(render.state.renderStates[D3DRENDERSTATE_ZENABLE], FALSE);
    }
    for (const QuadCall& quad : log.quads) {
        EXPECT_EQ(quad.state.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE], TRUE);
        EXPECT_EQ(quad.state.renderStates[D3DRENDERSTATE_ZENABLE], FALSE);
    }

    log = DrawScene(titleScene, 13.5f);
    EXPECT_EQ(log.renders.size(), 16u + 160u);
    ASSERT_EQ(log.quads.size(), 4u + 2u);
    // The swarm's strip at its local time 0.5: tu 2 - 0.05 at its right end.
    EXPECT_FLOAT_EQ(log.quads[4].draw->vertices[0].tu, 1.95f);
    EXPECT_EQ(log.quads[4].state.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE], TRUE);
    EXPECT_EQ(log.end.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE], FALSE);
    EXPECT_EQ(log.end.renderStates[D3DRENDERSTATE_ZENABLE], TRUE);
}

} // namespace
