// Scene 4, the finale: three layers added in order. 120 copies of "object.2" on chains of
// compounding rotations (fading out between 20 s and 30 s), two thin bands of "misc.bmp" sliding
// in opposite directions across the middle (dimming out between 40 s and 43 s), and from 25 s
// the end title above and below the bands.
#include "demo/finale_scene.h"

#include <new>

#include "demo/demo_app.h"
#include "demo/scene_drawing.h"
#include "demo/scene_objects.h"
#include "demo/scene_states.h"
#include "math/render_records.h"
#include "texture/texture_store.h"

namespace {

constexpr int FINALE_CHAINS = 3;       // n: three sets of chains
constexpr int FINALE_CHAIN_STARTS = 8; // i: eight chains in a set
constexpr int FINALE_CHAIN_LENGTH = 5; // j: five copies on a chain
constexpr float FINALE_TITLE_START = 25.0f;

// The chains' grey level per chain index: 0.5 until 20 s, then down to 0 at 30 s and below.
float ChainLevel(float time) {
    return time <= 20.0f ? 0.5f : 0.05f * (30.0f - time);
}

// Half grey until 40 s, then down to 0 at 43 s and below.
float BandGrey(float time) {
    const float level = time <= 40.0f ? 0.5f : (43.0f - time) / 6.0f;
    return level / 3.0f;
}

// Rises from 0 at 25 s to 1 at 30 s, holds until 40 s, falls to 0 at 43 s and below.
float TitleGrey(float time) {
    float grey = 1.0f;
    if (time < 30.0f) {
        grey = 1.0f - 0.2f * (30.0f - time);
    }
    if (time > 40.0f) {
        grey = (43.0f - time) / 3.0f;
    }
    return grey;
}

// Each copy spins about its own Y and X, moves out to (q, q, p + 60i), and is then carried about
// the origin by every link of its chain up to its own: M = M x (Rx x Ry) once per link.
void DrawChains(IDirect3DDevice7* device, MeshFile* mesh, float time) {
    const float level = ChainLevel(time);
    const double sine = SinFloat(time);
    const double cosine = CosFloat(time);
    for (int set = 0; set < FINALE_CHAINS; ++set) {
        const float n = static_cast<float>(set);
        const float p = static_cast<float>(-300 + 10 * set);
        const float q = static_cast<float>(-150 + 100 * set);
        for (int start = 0; start < FINALE_CHAIN_STARTS; ++start) {
            const float i = static_cast<float>(start);
            SetGrey(device, 0.1f * i * level);
            D3DMATRIX chain, turn;
            BuildRotationYMatrix(chain, i / 3.0f + n + time);
            BuildRotationXMatrix(turn, 0.5f * i + n + time);
            MultiplyMatrices(chain, chain, turn);
            BuildTranslationMatrix(turn, q, q, p + 60.0f * i);
            MultiplyMatrices(chain, chain, turn);
            for (int link = 0; link < FINALE_CHAIN_LENGTH; ++link) {
                const float j = static_cast<float>(link);
                D3DMATRIX rx, ry;
                BuildRotationXMatrix(rx, static_cast<float>(j / 7.0f + sine));
                BuildRotationYMatrix(ry, static_cast<float>(j / 8.0f + n + cosine));
                MultiplyMatrices(rx, rx, ry);
                MultiplyMatrices(chain, chain, rx);
                SetWorld(device, chain);
                if (mesh != nullptr) {
                    mesh->Render(device);
                }
            }
        }
    }
}

// Both show the strip tv 0..0.11 over four image widths; band 1 slides 0.2 widths a second one
// way, band 2 a third of a width the other. The translation puts band 1 at z -30..0 and band 2
// at z -2..30.
void DrawBands(IDirect3DDevice7* device, float time) {
    D3DMATRIX world;
    BuildTranslationMatrix(world, 0.0f, 0.0f, -15.0f);
    SetWorld(device, world);
    SetGrey(device, BandGrey(time));
    device->SetTexture(0, GetTextureSurface("misc.bmp"));
    const float slide1 = 0.2f * time;
    const QuadCorner band1[4] = {{550.0f, 0.0f, 15.0f, slide1 + 4.0f, 0.0f},
                                 {550.0f, 0.0f, -15.0f, slide1 + 4.0f, 0.11f},
                                 {-550.0f, 0.0f, 15.0f, slide1, 0.0f},
                                 {-550.0f, 0.0f, -15.0f, slide1, 0.11f}};
    DrawQuad(device, band1);
    const float slide2 = time / 3.0f;
    const QuadCorner band2[4] = {{550.0f, 0.0f, 45.0f, 4.0f - slide2, 0.0f},
                                 {550.0f, 0.0f, 13.0f, 4.0f - slide2, 0.11f},
                                 {-550.0f, 0.0f, 45.0f, -slide2, 0.0f},
                                 {-550.0f, 0.0f, 13.0f, -slide2, 0.11f}};
    DrawQuad(device, band2);
}

// The picture split at tv 0.8: the tall part above the bands, the short part below them.
void DrawEndTitle(IDirect3DDevice7* device, float time) {
    SetWorldIdentity(device);
    SetGrey(device, TitleGrey(time));
    device->SetTexture(0, GetTextureSurface("the_end.bmp"));
    const QuadCorner upper[4] = {{130.0f, 0.0f, 200.0f, 1.0f, 0.0f},
                                 {130.0f, 0.0f, 65.0f, 1.0f, 0.8f},
                                 {-130.0f, 0.0f, 200.0f, 0.0f, 0.0f},
                                 {-130.0f, 0.0f, 65.0f, 0.0f, 0.8f}};
    DrawQuad(device, upper);
    const QuadCorner lower[4] = {{130.0f, 0.0f, -105.0f, 1.0f, 0.8f},
                                 {130.0f, 0.0f, -142.0f, 1.0f, 1.0f},
                                 {-130.0f, 0.0f, -105.0f, 0.0f, 0.8f},
                                 {-130.0f, 0.0f, -142.0f, 0.0f, 1.0f}};
    DrawQuad(device, lower);
}

} // namespace

HRESULT FinaleScene::Init() {
    delete mesh;
    mesh = new (std::nothrow) MeshFile;
    if (mesh != nullptr) {
        mesh->Load("object.2");
    }
    return 1;
}

HRESULT FinaleScene::Update(float) {
    cameraEye.y = CAMERA_HEIGHT;
    return 1;
}

HRESULT FinaleScene::Draw(IDirect3DDevice7* device, float time, float) {
    BeginAdditiveStates(device);
    device->SetTexture(0, nullptr);
    DrawChains(device, mesh, time);
    DrawBands(device, time);
    if (time > FINALE_TITLE_START) {
        DrawEndTitle(device, time);
    }
    EndAdditiveStates(device);
    return 1;
}
