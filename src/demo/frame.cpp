// One frame of the show: the start-up dialog on the first frame, the clear, the current scene,
// the letterbox over it, and the end of the show after 118 s.
#include "demo/demo_app.h"
#include "demo/scene_objects.h"
#include "math/render_records.h"
#include "math/vector.h"
#include "platform/win32/user.h"

namespace {

// One letterbox quad as (x, z; tu, tv) per vertex, in strip order, in the plane y = 0.
struct LetterboxVertex {
    float x, z, tu, tv;
};
using LetterboxQuad = LetterboxVertex[4];

// With the camera at height 600 and a 60-degree field of view the picture is about 346 units
// high at y = 0: black bars over its top and bottom edges, and a thin line 2 units inside each.
constexpr LetterboxQuad LETTERBOX_QUADS[] = {
    {{550, -250, 1, 0}, {550, -350, 1, 0.4f}, {-550, -250, 0, 0}, {-550, -350, 0, 0.4f}},
    {{550, 350, 1, 0}, {550, 250, 1, 0.4f}, {-550, 350, 0, 0}, {-550, 250, 0, 0.4f}},
    {{550, 248, 1, 0}, {550, 240, 1, 0.4f}, {-550, 248, 0, 0}, {-550, 240, 0, 0.4f}},
    {{550, -240, 1, 0}, {550, -248, 1, 0.4f}, {-550, -240, 0, 0}, {-550, -248, 0, 0.4f}},
};

} // namespace

void DemoApp::DrawLetterbox(IDirect3DDevice7* d3dDevice) {
    // Drawn with the states the scene left: no blending, depth test on after a clear to 1.0.
    D3DMATRIX identity;
    BuildIdentityMatrix(identity);
    d3dDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &identity);
    D3DMATERIAL7 black;
    FillMaterial(black, 0.0f, 0.0f, 0.0f, 1.0f);
    d3dDevice->SetMaterial(&black);
    d3dDevice->SetTexture(0, nullptr);

    const D3DVECTOR up = MakeVector(0.0f, 1.0f, 0.0f);
    for (const LetterboxQuad& quad : LETTERBOX_QUADS) {
        D3DVERTEX vertices[4];
        for (int i = 0; i < 4; ++i) {
            vertices[i] =
                MakeVertex(MakeVector(quad[i].x, 0.0f, quad[i].z), up, quad[i].tu, quad[i].tv);
        }
        d3dDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_VERTEX, vertices, 4, 0);
    }
}

HRESULT DemoApp::DrawFrame() {
    if (firstFrame) {
        // Handled before SendMessageA returns: the dialog may rebuild the environment, so the
        // device is read only afterwards.
        SendMessageA(window, WM_COMMAND, CMD_CHANGE_DEVICE, 0);
    }
    IDirect3DDevice7* d3dDevice = device;
    if (d3dDevice != nullptr) {
        DWORD flags = 0;
        if (clearSettings.clearTarget) {
            flags |= D3DCLEAR_TARGET;
        }
        if (clearSettings.clearZBuffer) {
            flags |= D3DCLEAR_ZBUFFER;
        }
        d3dDevice->Clear(0, nullptr, flags, clearSettings.clearColor, 1.0f, 0);
        d3dDevice->BeginScene();
        switch (sceneIndex) {
        case 0:
            titleScene.Draw(d3dDevice, currentTime, timeStep);
            break;
        case 1:
            swarmScene.Draw(d3dDevice, currentTime - SCENE1_OFFSET, timeStep);
            break;
        case 2:
            planeScene.Draw(d3dDevice, currentTime - SCENE2_OFFSET, timeStep);
            break;
        case 3:
            rosetteScene.Draw(d3dDevice, currentTime - SCENE3_OFFSET, timeStep);
            break;
        default:
            finaleScene.Draw(d3dDevice, currentTime - SCENE4_OFFSET, timeStep);
            break;
        }
        DrawLetterbox(d3dDevice);
        d3dDevice->EndScene();
    }
    firstFrame = false;

    if (currentTime > SHOW_END_TIME) {
        ReleaseDevice();
        ReleaseScenes();
        PostQuitMessage(0);
    }
    return 1;
}
