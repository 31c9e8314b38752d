// Scene 2, the plane lattice: four horizontal and four vertical planes, 100 units apart, turning
// as one rigid lattice with "file.bmp" tiled four times along each edge and sliding. At 20 s a
// flash covers a cut to faster turning; from 22 s on scene 3 is drawn over it.
//
// Culling is off while it draws: the turning planes show their back faces half of the time.
#include "demo/plane_scene.h"

#include "demo/demo_app.h"
#include "demo/scene_drawing.h"
#include "demo/scene_objects.h"
#include "demo/scene_states.h"
#include "math/render_records.h"
#include "texture/texture_store.h"

namespace {

constexpr float PLANE_HANDOVER_TIME = 22.0f;
constexpr float PLANE_CUT_TIME = 20.0f;  // the flash and the faster angles start here
constexpr float PLANE_FLASH_END = 22.0f; // from here the flash quads are drawn with grey 0

constexpr float PLANE_OFFSETS[] = {-250.0f, -150.0f, -50.0f, 50.0f};
constexpr float PLANE_HALF_SIZE = 850.0f;
constexpr float PLANE_TILES = 4.0f; // image repeats along each edge (wrap addressing)

// Covers the whole view in the y = 0 plane.
constexpr QuadCorner PLANE_FLASH_QUAD[4] = {{550.0f, 0.0f, 550.0f, 0.0f, 0.0f},
                                            {550.0f, 0.0f, -550.0f, 1.0f, 0.0f},
                                            {-550.0f, 0.0f, 550.0f, 0.0f, 1.0f},
                                            {-550.0f, 0.0f, -550.0f, 1.0f, 1.0f}};

// translation x (Ry x Rz): the offset first, then both turns about the origin.
void SetPlaneWorld(IDirect3DDevice7* device, const D3DMATRIX& turn, float x, float y, float z) {
    D3DMATRIX world;
    BuildTranslationMatrix(world, x, y, z);
    MultiplyMatrices(world, world, turn);
    SetWorld(device, world);
}

} // namespace

HRESULT PlaneScene::Init() {
    return 1;
}

HRESULT PlaneScene::Update(float, float) {
    cameraEye.y = CAMERA_HEIGHT;
    return 1;
}

HRESULT PlaneScene::Draw(IDirect3DDevice7* device, float time, float step) {
    BeginAdditiveStates(device);
    device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    SetWorldIdentity(device);

    const float planeGrey = time < 5.0f ? 0.3f * 0.2f * time : 0.3f;
    const float slide = 0.2f * time;
    const bool afterCut = time >= PLANE_CUT_TIME;
    // Falls from 1 to 0 in half a second, then goes negative (black) until it is held at 0.
    const float flashGrey = time < PLANE_FLASH_END ? 1.0f - 2.0f * (time - PLANE_CUT_TIME) : 0.0f;

    // The same angles in every pass; formed once, as Ry x Rz.
    D3DMATRIX turn, rz;
    if (afterCut) {
        BuildRotationYMatrix(turn, time / 14.0f + 92.0f);
        BuildRotationZMatrix(rz, time / 11.0f + 82.0f);
    } else {
        BuildRotationYMatrix(turn, time / 16.0f + 42.0f);
        BuildRotationZMatrix(rz, time / 4.0f + 22.0f);
    }
    MultiplyMatrices(turn, turn, rz);

    const float s = PLANE_HALF_SIZE;
    const QuadCorner horizontal[4] = {{s, 0.0f, s, slide + PLANE_TILES, 0.0f},
                                      {s, 0.0f, -s, slide + PLANE_TILES, PLANE_TILES},
                                      {-s, 0.0f, s, slide, 0.0f},
                                      {-s, 0.0f, -s, slide, PLANE_TILES}};
    const QuadCorner vertical[4] = {{s, s, 0.0f, slide + PLANE_TILES, 0.0f},
                                    {s, -s, 0.0f, slide + PLANE_TILES, PLANE_TILES},
                                    {-s, s, 0.0f, slide, 0.0f},
                                    {-s, -s, 0.0f, slide, PLANE_TILES}};

    for (float offset : PLANE_OFFSETS) {
        // The flash belongs to every pass: four quads a frame, each before its pass's planes.
        if (afterCut) {
            SetGrey(device, flashGrey);
            device->SetTexture(0, nullptr);
            SetWorldIdentity(device);
            DrawQuad(device, PLANE_FLASH_QUAD);
        }
        SetGrey(device, planeGrey);
        device->SetTexture(0, GetTextureSurface("file.bmp"));
        SetPlaneWorld(device, turn, 0.0f, offset, 0.0f);
        DrawQuad(device, horizontal);
        SetPlaneWorld(device, turn, 0.0f, 0.0f, offset);
        DrawQuad(device, vertical);
    }

    EndAdditiveStates(device);
    device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CCW);
    if (time > PLANE_HANDOVER_TIME) {
        rosetteScene.Draw(device, time - PLANE_HANDOVER_TIME, step);
    }
    return 1;
}
