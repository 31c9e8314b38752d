// The timeline: which scene the time t (seconds) belongs to, its Update, and the camera views.
//
// Five tests in a row, each of which may overwrite the choice. At exactly 15, 30, 60 or 75 none
// matches and the previous scene stays.
#include "demo/demo_app.h"
#include "demo/scene_objects.h"
#include "math/camera.h"

namespace {

constexpr float SCENE1_START = 15.0f;
constexpr float SCENE2_START = 30.0f;
constexpr float SCENE3_START = 60.0f;
constexpr float SCENE4_START = 75.0f;
// The stereo eyes' distance from the single view; with the zero up hint it has no direction and
// the stereo pair is left as it was.
constexpr float EYE_OFFSET = 1.0f;

} // namespace

HRESULT DemoApp::Animate(float time) {
    timeStep = previousTime - time;
    currentTime = time;
    previousTime = time;

    if (time < SCENE1_START) {
        sceneIndex = 0;
    }
    if (time > SCENE1_START && time < SCENE2_START) {
        sceneIndex = 1;
    }
    if (time > SCENE2_START && time < SCENE3_START) {
        sceneIndex = 2;
    }
    if (time > SCENE3_START && time < SCENE4_START) {
        sceneIndex = 3;
    }
    if (time > SCENE4_START) {
        sceneIndex = 4;
    }

    switch (sceneIndex) {
    case 0:
        titleScene.Update(time);
        break;
    case 1:
        swarmScene.Update(time);
        break;
    case 2:
        planeScene.Update(time, timeStep);
        break;
    case 3:
        rosetteScene.Update(time, timeStep);
        break;
    default:
        finaleScene.Update(time);
        break;
    }

    BuildViewMatrices(this, cameraEye, cameraTarget, cameraUp, EYE_OFFSET);
    return 1;
}
