// Scene 0, the title. Its pictures come with the scenes; the frame around them is here: the
// states it draws under and the hand-over to scene 1 during its last two seconds.
#include "demo/title_scene.h"

#include <new>

#include "demo/demo_app.h"
#include "demo/scene_objects.h"
#include "demo/scene_states.h"

namespace {

constexpr int TITLE_FIRST_SCALE = 200; // copy k is scaled by (200 - 20k) x 0.025
constexpr int TITLE_SCALE_STEP = 20;
constexpr float TITLE_SCALE_UNIT = 0.025f;
constexpr float TITLE_HANDOVER_TIME = 13.0f;

} // namespace

HRESULT TitleScene::Init() {
    int slot = 0;
    for (int n = TITLE_FIRST_SCALE; n > -TITLE_FIRST_SCALE; n -= TITLE_SCALE_STEP, ++slot) {
        delete meshes[slot]; // a second Init replaces, never leaks
        meshes[slot] = new (std::nothrow) MeshFile;
        if (meshes[slot] != nullptr) {
            meshes[slot]->Load("object.1");
            meshes[slot]->ScaleMeshes(static_cast<float>(n) * TITLE_SCALE_UNIT);
        }
    }
    return 1;
}

HRESULT TitleScene::Update(float) {
    cameraEye.y = CAMERA_HEIGHT;
    return 1;
}

HRESULT TitleScene::Draw(IDirect3DDevice7* device, float time, float step) {
    BeginAdditiveStates(device);
    device->SetTexture(0, nullptr);
    EndAdditiveStates(device);
    if (time > TITLE_HANDOVER_TIME) {
        swarmScene.Draw(device, time - TITLE_HANDOVER_TIME, step);
    }
    return 1;
}
