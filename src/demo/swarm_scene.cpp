// Scene 1, the swarm: twenty rows of eight "object.2" copies on shells around the origin, each
// row a chain in which every copy is the one before turned once more; a strip of "misc.bmp"
// scrolling sideways and a pulsing backdrop; scene 2 is drawn over its last seconds.
#include "demo/swarm_scene.h"

#include <new>

#include "demo/demo_app.h"
#include "demo/scene_drawing.h"
#include "demo/scene_objects.h"
#include "demo/scene_states.h"
#include "math/render_records.h"
#include "texture/texture_store.h"

namespace {

constexpr float SWARM_HANDOVER_TIME = 13.0f;

// Rows at d = -300, -270, ... 270 along z: twenty shells, the middle one (d = 0) at the origin.
constexpr int SWARM_FIRST_ROW_DISTANCE = -300;
constexpr int SWARM_ROW_SPACING = 30;
constexpr int SWARM_ROW_END = 300;
constexpr int SWARM_COPIES_PER_ROW = 8;

constexpr float SWARM_ROW_TURN_Y = 0.33333334f; // per row, radians
constexpr float SWARM_ROW_TURN_X = 0.5f;
constexpr float SWARM_LINK_TURN = 0.125f;          // per copy along a row
constexpr float SWARM_BACKDROP_GREY = 0.33333334f; // times sin t

// Rows nearer the camera (d >= 0) grow darker outwards from the middle; the far rows grow
// brighter towards it, so the brightest is the last far row (r = 9).
float RowGrey(int row, int distance, float fade) {
    const float r = static_cast<float>(row);
    return distance < 0 ? 0.1f * r * fade : (1.0f - 0.05f * r) * fade;
}

} // namespace

HRESULT SwarmScene::Init() {
    delete mesh;
    mesh = new (std::nothrow) MeshFile;
    if (mesh != nullptr) {
        mesh->Load("object.2");
    }
    return 1;
}

HRESULT SwarmScene::Update(float) {
    cameraEye.y = CAMERA_HEIGHT;
    return 1;
}

HRESULT SwarmScene::Draw(IDirect3DDevice7* device, float time, float step) {
    BeginAdditiveStates(device);
    device->SetTexture(0, nullptr);

    float fade = time < 5.0f ? 0.1f * time : 0.5f;
    if (time > 10.0f) {
        fade = (15.0f - time) * 0.1f;
    }
    // Once per frame, in double precision; every link of every row turns by them.
    const double sine = SinFloat(time);
    const double cosine = CosFloat(time);

    int row = 0;
    for (int distance = SWARM_FIRST_ROW_DISTANCE; distance < SWARM_ROW_END;
         distance += SWARM_ROW_SPACING, ++row) {
        SetGrey(device, RowGrey(row, distance, fade));

        const float r = static_cast<float>(row);
        D3DMATRIX world, turn, move;
        BuildRotationYMatrix(world, time + SWARM_ROW_TURN_Y * r);
        BuildRotationXMatrix(turn, time + SWARM_ROW_TURN_X * r);
        MultiplyMatrices(world, world, turn);
        BuildTranslationMatrix(move, 0.0f, 0.0f, static_cast<float>(distance));
        MultiplyMatrices(world, world, move);

        for (int link = 0; link < SWARM_COPIES_PER_ROW; ++link) {
            const float j = SWARM_LINK_TURN * static_cast<float>(link);
            D3DMATRIX rx, ry;
            BuildRotationXMatrix(rx, static_cast<float>(j + sine));
            BuildRotationYMatrix(ry, static_cast<float>(j + cosine));
            MultiplyMatrices(rx, rx, ry);
            MultiplyMatrices(world, world, rx); // the row's chain keeps growing
            SetWorld(device, world);
            if (mesh != nullptr) {
                mesh->Render(device);
            }
        }
    }
    SetWorldIdentity(device);

    // The top 11 % of the picture, twice across the strip, moving 0.1 widths a second.
    SetGrey(device, 0.5f * fade);
    device->SetTexture(0, GetTextureSurface("misc.bmp"));
    const float scroll = -0.1f * time;
    const QuadCorner strip[4] = {{20.0f, 0.0f, 15.0f, 2.0f + scroll, 0.0f},
                                 {20.0f, 0.0f, -15.0f, 2.0f + scroll, 0.11f},
                                 {-550.0f, 0.0f, 15.0f, scroll, 0.0f},
                                 {-550.0f, 0.0f, -15.0f, scroll, 0.11f}};
    DrawQuad(device, strip);

    // Not faded with the swarm: it keeps pulsing after the copies have gone dark.
    SetGrey(device, static_cast<float>(sine * SWARM_BACKDROP_GREY));
    device->SetTexture(0, GetTextureSurface("misc.bmp"));
    SetWorldIdentity(device);
    const QuadCorner backdrop[4] = {{460.0f, 0.0f, 250.0f, 1.0f, 0.2f},
                                    {460.0f, 0.0f, -250.0f, 1.0f, 1.0f},
                                    {-460.0f, 0.0f, 250.0f, 0.0f, 0.2f},
                                    {-460.0f, 0.0f, -250.0f, 0.0f, 1.0f}};
    DrawQuad(device, backdrop);

    EndAdditiveStates(device);
    if (time > SWARM_HANDOVER_TIME) {
        planeScene.Draw(device, time - SWARM_HANDOVER_TIME, step);
    }
    return 1;
}
