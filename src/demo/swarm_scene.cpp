// Scene 1, the swarm. Its pictures come with the scenes; the frame around them is here: the
// states it draws under and the hand-over to scene 2 during its last seconds.
#include "demo/swarm_scene.h"

#include <new>

#include "demo/demo_app.h"
#include "demo/scene_objects.h"
#include "demo/scene_states.h"

namespace {

constexpr float SWARM_HANDOVER_TIME = 13.0f;

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
    EndAdditiveStates(device);
    if (time > SWARM_HANDOVER_TIME) {
        planeScene.Draw(device, time - SWARM_HANDOVER_TIME, step);
    }
    return 1;
}
