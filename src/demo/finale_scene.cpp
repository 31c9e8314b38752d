// Scene 4, the finale. Its pictures come with the scenes; the states it draws under are here.
#include "demo/finale_scene.h"

#include <new>

#include "demo/demo_app.h"
#include "demo/scene_objects.h"
#include "demo/scene_states.h"

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

HRESULT FinaleScene::Draw(IDirect3DDevice7* device, float, float) {
    BeginAdditiveStates(device);
    device->SetTexture(0, nullptr);
    EndAdditiveStates(device);
    return 1;
}
