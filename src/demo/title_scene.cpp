// Scene 0, the title: eight nested copies of "object.1", each drawn twice at slightly different
// angles, the title picture sliding together as it fades in, the caption below it and a faint
// pulsing backdrop; during its last two seconds scene 1 is drawn over it.
//
// T = t + 5 starts the fade half-way: the meshes and caption are already at half brightness on
// the first frame, while the title (k to the 32nd power) is still black.
#include "demo/title_scene.h"

#include <new>

#include "demo/demo_app.h"
#include "demo/scene_drawing.h"
#include "demo/scene_objects.h"
#include "demo/scene_states.h"
#include "math/render_records.h"
#include "texture/texture_store.h"

namespace {

constexpr int TITLE_FIRST_SCALE = 200; // copy k is scaled by (200 - 20k) x 0.025
constexpr int TITLE_SCALE_STEP = 20;
constexpr float TITLE_SCALE_UNIT = 0.025f;
constexpr float TITLE_HANDOVER_TIME = 13.0f;

// Only slots 2 to 9 are drawn (scale factors 4.0 down to 0.5); the others stay loaded.
constexpr int TITLE_FIRST_DRAWN = 2;
constexpr int TITLE_LAST_DRAWN = 9;

constexpr float TITLE_TIME_LEAD = 5.0f;

// The two copies of a slot differ in their starting angles and in how far apart the slots are.
struct CopyAngles {
    float x, y, z;             // at i = 0, radians
    float xStep, yStep, zStep; // per slot
};
constexpr CopyAngles TITLE_FIRST_COPY = {95.0f,       165.0f,      235.0f,
                                         0.08196721f, 0.12820512f, 0.15384616f};
constexpr CopyAngles TITLE_SECOND_COPY = {95.2f,       165.2f,      235.2f,
                                          0.07575758f, 0.12820512f, 0.22222222f};

// Ry(Y) x Rz(Z) x Rx(X): a vertex turns about y first, then z, then x.
void SetCopyWorld(IDirect3DDevice7* device, const CopyAngles& angles, float lead, int slot) {
    const float i = static_cast<float>(slot);
    const float x = angles.x + lead + angles.xStep * i;
    const float y = angles.y + lead + angles.yStep * i;
    const float z = angles.z + lead + angles.zStep * i;
    D3DMATRIX ry, rz, rx, world;
    BuildRotationYMatrix(ry, y);
    BuildRotationZMatrix(rz, z);
    BuildRotationXMatrix(rx, x);
    MultiplyMatrices(world, ry, rz);
    MultiplyMatrices(world, world, rx);
    SetWorld(device, world);
}

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

    const float lead = time + TITLE_TIME_LEAD;
    float fade = lead < 10.0f ? lead * 0.1f : 1.0f;
    if (lead > 15.0f) {
        fade = (20.0f - lead) * 0.2f;
    }
    const float meshGrey = 0.4f * fade;
    const float echoGrey = 0.2f * fade;

    for (int slot = TITLE_FIRST_DRAWN; slot <= TITLE_LAST_DRAWN; ++slot) {
        MeshFile* mesh = meshes[slot];
        SetCopyWorld(device, TITLE_FIRST_COPY, lead, slot);
        SetGrey(device, meshGrey);
        if (mesh != nullptr) {
            mesh->Render(device);
        }
        SetCopyWorld(device, TITLE_SECOND_COPY, lead, slot);
        SetGrey(device, echoGrey);
        if (mesh != nullptr) {
            mesh->Render(device);
        }
    }
    SetWorldIdentity(device);

    // The title: k to the 32nd power keeps it dark until the fade is nearly full, and w moves
    // the two copies 100 units apart while they are dark, so they slide together as they light.
    float titleGrey = fade;
    for (int square = 0; square < 5; ++square) {
        titleGrey *= titleGrey;
    }
    SetGrey(device, titleGrey);
    device->SetTexture(0, GetTextureSurface("title.bmp"));
    const float w = 100.0f * titleGrey;
    const QuadCorner rightCopy[4] = {{550.0f - w, 0.0f, -140.0f, 1.0f, 0.0f},
                                     {550.0f - w, 0.0f, -240.0f, 1.0f, 1.0f},
                                     {250.0f - w, 0.0f, -140.0f, 0.0f, 0.0f},
                                     {250.0f - w, 0.0f, -240.0f, 0.0f, 1.0f}};
    DrawQuad(device, rightCopy);
    const QuadCorner leftCopy[4] = {{350.0f + w, 0.0f, -140.0f, 1.0f, 0.0f},
                                    {350.0f + w, 0.0f, -240.0f, 1.0f, 1.0f},
                                    {50.0f + w, 0.0f, -140.0f, 0.0f, 0.0f},
                                    {50.0f + w, 0.0f, -240.0f, 0.0f, 1.0f}};
    DrawQuad(device, leftCopy);
    SetWorldIdentity(device);

    const float captionGrey = lead > 15.0f ? (20.0f - lead) * 0.1f : 0.5f;
    SetGrey(device, captionGrey);
    device->SetTexture(0, GetTextureSurface("nosound.bmp"));
    const QuadCorner caption[4] = {{150.0f, 0.0f, -215.0f, 1.0f, 0.0f},
                                   {150.0f, 0.0f, -235.0f, 1.0f, 1.0f},
                                   {-150.0f, 0.0f, -215.0f, 0.0f, 0.0f},
                                   {-150.0f, 0.0f, -235.0f, 0.0f, 1.0f}};
    DrawQuad(device, caption);

    // Negative half of the time: the backdrop then adds nothing.
    const float backdropGrey = static_cast<float>(SinFloat(0.5f * lead) * 0.25f * captionGrey);
    SetGrey(device, backdropGrey);
    device->SetTexture(0, GetTextureSurface("misc.bmp"));
    const QuadCorner backdrop[4] = {{460.0f, 0.0f, 250.0f, 1.0f, 0.2f},
                                    {460.0f, 0.0f, -250.0f, 1.0f, 1.0f},
                                    {-460.0f, 0.0f, 250.0f, 0.0f, 0.2f},
                                    {-460.0f, 0.0f, -250.0f, 0.0f, 1.0f}};
    DrawQuad(device, backdrop);

    EndAdditiveStates(device);
    if (time > TITLE_HANDOVER_TIME) {
        swarmScene.Draw(device, time - TITLE_HANDOVER_TIME, step);
    }
    return 1;
}
