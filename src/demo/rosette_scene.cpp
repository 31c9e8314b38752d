// Scene 3, the rosette. Its pictures come with the scenes; the frame around them is here: the
// states it draws under and the hand-over to scene 4 from 13 s on, drawn under the same states.
#include "demo/rosette_scene.h"

#include <new>

#include "demo/demo_app.h"
#include "demo/scene_objects.h"
#include "demo/scene_states.h"

namespace {

constexpr float ROSETTE_HANDOVER_TIME = 13.0f;

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
    if (time > ROSETTE_HANDOVER_TIME) {
        finaleScene.Draw(device, time - ROSETTE_HANDOVER_TIME, step);
    }
    EndAdditiveStates(device);
    return 1;
}
