// The finale on the recording device: the three envelopes (chains, bands, end title), the
// chains' world matrices, and the bands' and title's quads.
#include <gtest/gtest.h>

#include <cmath>

#include "demo/scene_objects.h"
#include "support/scene_test_support.h"
#include "texture/texture_store.h"

using namespace scene_test;

namespace {

class FinaleSceneTest : public SceneLogicTest {};

// Copy j of chain (n, i): spun about its own Y and X, moved out, then carried by every link up
// to its own.
Matrix ExpectedCopy(double t, int n, int i, int j) {
    const double p = -300 + 10 * n, q = -150 + 100 * n;
    Matrix world =
        RotationY(i / 3.0 + n + t) * RotationX(0.5 * i + n + t) * Translation(q, q, p + 60 * i);
    for (int link = 0; link <= j; ++link) {
        world =
            world * (RotationX(link / 7.0 + std::sin(t)) * RotationY(link / 8.0 + n + std::cos(t)));
    }
    return world;
}

TEST_F(FinaleSceneTest, ThreeLayersFadeOnTheirOwnClocks) {
    struct Moment {
        float t;
        float chain; // L
        float band;
        float title; // NAN: not drawn
    };
    const Moment moments[] = {
        {0.0f, 0.5f, 1.0f / 6, NAN},
        {10.0f, 0.5f, 1.0f / 6, NAN},
        {25.0f, 0.25f, 1.0f / 6, NAN},
        {27.5f, 0.125f, 1.0f / 6, 0.5f},
        {30.0f, 0.0f, 1.0f / 6, 1.0f},
        {40.0f, -0.5f, 1.0f / 6, 1.0f},
        {41.5f, -0.575f, 1.5f / 18, 0.5f},
        {43.0f, -0.65f, 0.0f, 0.0f},
        {45.0f, -0.75f, -2.0f / 18, -2.0f / 3},
    };
    for (const Moment& m : moments) {
        SCOPED_TRACE(m.t);
        const DrawLog log = DrawScene(finaleScene, m.t);
        ASSERT_EQ(log.renders.size(), 120u) << "drawn whatever the level";
        for (size_t r = 0; r < 120; ++r) {
            const int i = int(r / 5) % 8;
            EXPECT_TRUE(IsGrey(log.renders[r].state.material, 0.1f * i * m.chain)) << r;
            EXPECT_EQ(log.renders[r].state.textures[0], nullptr);
        }
        const bool title = !std::isnan(m.title);
        ASSERT_EQ(log.quads.size(), title ? 4u : 2u);
        for (size_t b = 0; b < 2; ++b) {
            EXPECT_TRUE(IsGrey(log.quads[b].state.material, m.band)) << "band " << b;
            EXPECT_EQ(log.quads[b].state.textures[0], GetTextureSurface("misc.bmp"));
            EXPECT_TRUE(MatrixNear(log.quads[b].state.world, Translation(0, 0, -15), 0.0));
        }
        if (title) {
            for (size_t p = 2; p < 4; ++p) {
                EXPECT_TRUE(IsGrey(log.quads[p].state.material, m.title)) << "title " << p;
                EXPECT_EQ(log.quads[p].state.textures[0], GetTextureSurface("the_end.bmp"));
                EXPECT_TRUE(MatrixNear(log.quads[p].state.world, Identity(), 0.0));
            }
        }
        EXPECT_EQ(log.end.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE], FALSE);
        EXPECT_EQ(log.end.renderStates[D3DRENDERSTATE_ZENABLE], TRUE);
    }
    // The chain greys at 10 s: 0, 0.05, ... 0.35 by chain index.
    const DrawLog log = DrawScene(finaleScene, 10.0f);
    EXPECT_TRUE(IsGrey(log.renders[0].state.material, 0.0f));
    EXPECT_TRUE(IsGrey(log.renders[5].state.material, 0.05f));
    EXPECT_TRUE(IsGrey(log.renders[35].state.material, 0.35f));
}

TEST_F(FinaleSceneTest, EveryLinkOfAChainAddsOneMoreTurn) {
    for (float t : {0.0f, 7.25f, 33.0f}) {
        SCOPED_TRACE(t);
        const DrawLog log = DrawScene(finaleScene, t);
        ASSERT_EQ(log.renders.size(), 120u);
        for (auto [n, i, j] : {std::tuple{0, 0, 0}, {0, 7, 4}, {1, 3, 0}, {1, 3, 2}, {2, 5, 4}}) {
            const size_t r = size_t((n * 8 + i) * 5 + j);
            EXPECT_TRUE(MatrixNear(log.renders[r].state.world, ExpectedCopy(t, n, i, j), 2e-4))
                << "n " << n << " i " << i << " j " << j;
        }
        for (const RenderCall& render : log.renders) {
            EXPECT_EQ(render.state.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE], TRUE);
            EXPECT_EQ(render.state.renderStates[D3DRENDERSTATE_ZENABLE], FALSE);
        }
    }
}

TEST_F(FinaleSceneTest, BandsSlideApartAndTheTitleSitsAboveAndBelowThem) {
    // At 0 both bands run over four image widths from 0.
    DrawLog log = DrawScene(finaleScene, 0.0f);
    ASSERT_EQ(log.quads.size(), 2u);
    EXPECT_TRUE(IsQuad(log.quads[0], {{550, 0, 15, 4, 0},
                                      {550, 0, -15, 4, 0.11f},
                                      {-550, 0, 15, 0, 0},
                                      {-550, 0, -15, 0, 0.11f}}));
    EXPECT_TRUE(IsQuad(log.quads[1], {{550, 0, 45, 4, 0},
                                      {550, 0, 13, 4, 0.11f},
                                      {-550, 0, 45, 0, 0},
                                      {-550, 0, 13, 0, 0.11f}}));

    // At 30 band 1 has slid 6 widths one way, band 2 ten the other.
    log = DrawScene(finaleScene, 30.0f);
    ASSERT_EQ(log.quads.size(), 4u);
    EXPECT_TRUE(IsQuad(log.quads[0], {{550, 0, 15, 10, 0},
                                      {550, 0, -15, 10, 0.11f},
                                      {-550, 0, 15, 6, 0},
                                      {-550, 0, -15, 6, 0.11f}}));
    EXPECT_TRUE(IsQuad(log.quads[1], {{550, 0, 45, -6, 0},
                                      {550, 0, 13, -6, 0.11f},
                                      {-550, 0, 45, -10, 0},
                                      {-550, 0, 13, -10, 0.11f}}));
    EXPECT_TRUE(IsQuad(log.quads[2], {{130, 0, 200, 1, 0},
                                      {130, 0, 65, 1, 0.8f},
                                      {-130, 0, 200, 0, 0},
                                      {-130, 0, 65, 0, 0.8f}}));
    EXPECT_TRUE(IsQuad(log.quads[3], {{130, 0, -105, 1, 0.8f},
                                      {130, 0, -142, 1, 1},
                                      {-130, 0, -105, 0, 0.8f},
                                      {-130, 0, -142, 0, 1}}));
}

} // namespace
