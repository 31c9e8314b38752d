// DemoApp: construction, media loading, the device set-up of each 3D environment and the release
// of what the show holds.
#include "demo/demo_app.h"

#include <cmath>
#include <new>

#include "demo/scene_objects.h"
#include "math/render_records.h"
#include "math/vector.h"
#include "mesh/mesh_file.h"
#include "platform/win32/user.h"
#include "texture/texture_store.h"
#include "texture/texture_surfaces.h"

namespace {

constexpr LPCSTR DEMO_TEXTURES[] = {"title.bmp", "file.bmp", "misc.bmp", "the_end.bmp",
                                    "nosound.bmp"};
constexpr LPCSTR DEMO_MODELS[] = {"object.1", "object.2", "object.3"};

constexpr DWORD AMBIENT_GREY = 0xAAAAAAAA; // two thirds grey
constexpr float PI_FLOAT = 3.14159265f;
constexpr float ONE_THIRD = 1.0f / 3.0f;
constexpr float NEAR_PLANE = 1.0f;
constexpr float FAR_PLANE = 1000.0f;

// Light 0: white, directional, shining down the camera's line of sight (-y) and tilted a
// little towards -x and +z, so that faces turned different ways get different shades instead of
// all meeting the light head-on.
D3DLIGHT7 MakeSceneLight() {
    D3DLIGHT7 light{};
    light.dltType = D3DLIGHT_DIRECTIONAL;
    light.dcvDiffuse = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 1.0f};
    light.dcvSpecular = D3DCOLORVALUE{0.0f, 0.0f, 0.0f, 0.0f};
    light.dcvAmbient = D3DCOLORVALUE{0.0f, 0.0f, 0.0f, 0.0f};
    light.dvDirection = VecNormalize(MakeVector(-0.3f, -1.0f, 0.4f));
    light.dvRange = 1000.0f;
    return light;
}

} // namespace

DemoApp::DemoApp()
    : currentTime(0.0f), timeStep(0.0f), previousTime(0.0f), firstFrame(true), sceneIndex(0) {
    showStats = FALSE;
    windowTitle = " ";
    useZBuffer = TRUE;
    appSetsView = TRUE;
}

void ReportMissingFile() {
    MessageBoxA(nullptr, "File not found.", "Ichk.", MB_ICONWARNING);
    PostQuitMessage(0);
}

HRESULT DemoApp::LoadScene() {
    for (LPCSTR name : DEMO_TEXTURES) {
        if (FAILED(AddTexture(name, 0, 0))) {
            ReportMissingFile();
        }
    }
    // One check of each model file at start, so that a missing one is reported once; the scenes
    // load their own copies below.
    if (auto* check = new (std::nothrow) MeshFile) {
        for (LPCSTR name : DEMO_MODELS) {
            if (FAILED(check->Load(name))) {
                ReportMissingFile();
            }
        }
        delete check;
    }
    titleScene.Init();
    swarmScene.Init();
    planeScene.Init();
    rosetteScene.Init();
    finaleScene.Init();

    firstFrame = true;
    sceneIndex = 0;
    previousTime = 0.0f;
    return 1;
}

HRESULT DemoApp::PrepareDevice() {
    D3DLIGHT7 light = MakeSceneLight();
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRENDERSTATE_LIGHTING, TRUE);
    device->SetRenderState(D3DRENDERSTATE_AMBIENT, AMBIENT_GREY);

    D3DVIEWPORT7 viewport{};
    device->GetViewport(&viewport);
    const float aspect =
        static_cast<float>(viewport.dwHeight) / static_cast<float>(viewport.dwWidth);
    D3DMATRIX projection;
    BuildIdentityMatrix(projection);
    BuildProjectionMatrix(projection, PI_FLOAT * ONE_THIRD, aspect, NEAR_PLANE, FAR_PLANE);
    D3DMATRIX identity;
    BuildIdentityMatrix(identity);
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &identity);
    device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);

    device->SetRenderState(D3DRENDERSTATE_DITHERENABLE, FALSE);
    device->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, FALSE);
    device->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    // Additive blending whenever a scene turns blending on.
    device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);

    RestoreAllTextures(device);
    return 1;
}

HRESULT DemoApp::ReleaseDevice() {
    InvalidateAllTextures();
    return 1;
}

HRESULT ReleaseScenes() {
    auto release = [](MeshFile*& mesh) {
        if (mesh != nullptr) {
            mesh->DestroyTree();
            delete mesh;
            mesh = nullptr;
        }
    };
    for (MeshFile*& mesh : titleScene.meshes) {
        release(mesh);
    }
    release(swarmScene.mesh);
    release(rosetteScene.mesh);
    release(finaleScene.mesh);
    return 1;
}
