// Scene 2, the plane lattice. Its pictures come with the scenes; the frame around them is here:
// the states it draws under (culling off: the planes are seen from both sides) and the hand-over
// to scene 3 from 22 s on.
#include "demo/plane_scene.h"

#include "demo/demo_app.h"
#include "demo/scene_objects.h"
#include "demo/scene_states.h"
#include "math/render_records.h"

namespace {

constexpr float PLANE_HANDOVER_TIME = 22.0f;

} // namespace

HRESULT PlaneScene::Init() { return 1; }

HRESULT PlaneScene::Update(float, float) {
    cameraEye.y = CAMERA_HEIGHT;
    return 1;
}

HRESULT PlaneScene::Draw(IDirect3DDevice7* device, float time, float step) {
    BeginAdditiveStates(device);
    device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    D3DMATRIX identity;
    BuildIdentityMatrix(identity);
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &identity);
    EndAdditiveStates(device);
    device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CCW);
    if (time > PLANE_HANDOVER_TIME) {
        rosetteScene.Draw(device, time - PLANE_HANDOVER_TIME, step);
    }
    return 1;
}
