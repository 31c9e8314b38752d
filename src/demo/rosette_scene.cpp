// Scene 3, the rosette: fifteen copies of "object.3" 50 units in front of the camera, turned
// about the line of sight in steps of 1/2.1 radian, and a dimmer echo 20 units further away and
// 0.3 radian behind; scene 4 is drawn over it from 13 s on, under the same states.
#include "demo/rosette_scene.h"

#include <new>

#include "demo/demo_app.h"
#include "demo/scene_drawing.h"
#include "demo/scene_objects.h"
#include "demo/scene_states.h"
#include "math/render_records.h"

namespace {

constexpr float ROSETTE_HANDOVER_TIME = 13.0f;
constexpr float ROSETTE_TIME_DELAY = 2.0f; // the envelope starts 2 s into the scene
constexpr int ROSETTE_COPIES = 15;
constexpr float ROSETTE_STEP_DIVISOR = 2.1f; // copy j is turned by j / 2.1 about Y

struct RosetteRing {
    float turn;     // added to both angles, radians
    float distance; // along Y, from the origin towards the camera
};
constexpr RosetteRing ROSETTE_FRONT = {1.5f, 550.0f};
constexpr RosetteRing ROSETTE_ECHO = {1.2f, 530.0f};

// Rz x Ry x translation: each copy spins about its own Z, then about the line of sight, and then
// moves up towards the camera.
void SetCopyWorld(IDirect3DDevice7* device, const RosetteRing& ring, float u, float g) {
    D3DMATRIX world, ry, move;
    BuildRotationZMatrix(world, u + ring.turn);
    BuildRotationYMatrix(ry, g + ring.turn);
    MultiplyMatrices(world, world, ry);
    BuildTranslationMatrix(move, 0.0f, ring.distance, 0.0f);
    MultiplyMatrices(world, world, move);
    SetWorld(device, world);
}

} // namespace

HRESULT RosetteScene::Init() {
    delete mesh;
    mesh = new (std::nothrow) MeshFile;
    if (mesh != nullptr) {
        mesh->Load("object.3");
    }
    return 1;
}

HRESULT RosetteScene::Update(float, float) {
    cameraEye.y = CAMERA_HEIGHT;
    return 1;
}

HRESULT RosetteScene::Draw(IDirect3DDevice7* device, float time, float step) {
    BeginAdditiveStates(device);
    device->SetTexture(0, nullptr);

    // Rises over 5 s, holds 5 s, falls over 5 s; outside that it is negative and the copies
    // light to black, which adds nothing.
    const float u = time - ROSETTE_TIME_DELAY;
    float envelope = 1.0f;
    if (u < 5.0f) {
        envelope = 0.2f * u;
    } else if (u > 10.0f) {
        envelope = 0.2f * (15.0f - u);
    }
    const float frontGrey = 0.2f * envelope;
    const float echoGrey = 0.1f * envelope;

    for (int copy = 0; copy < ROSETTE_COPIES; ++copy) {
        const float g = u + static_cast<float>(copy) / ROSETTE_STEP_DIVISOR;
        SetGrey(device, frontGrey);
        SetCopyWorld(device, ROSETTE_FRONT, u, g);
        if (mesh != nullptr) {
            mesh->Render(device);
        }
        SetGrey(device, echoGrey);
        SetCopyWorld(device, ROSETTE_ECHO, u, g);
        if (mesh != nullptr) {
            mesh->Render(device);
        }
    }

    if (time > ROSETTE_HANDOVER_TIME) {
        finaleScene.Draw(device, time - ROSETTE_HANDOVER_TIME, step);
    }
    // Also after the finale, which has put back the same two states already.
    EndAdditiveStates(device);
    return 1;
}
