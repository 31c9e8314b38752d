// The demo's application object and the spine of the show: media loading, the device set-up
// every 3D environment gets, the timeline that picks one of five scenes by time, the letterbox
// over every frame, and the end of the show after 118 s.
//
// Time enters only through Animate; scenes get their local time from DrawFrame. The camera and
// the clear settings are process-wide and constant while the show runs.
#pragma once

#include "app/application.h"
#include "platform/d3d/d3d.h"

// The camera every scene shares: at (0, 600, 0) once the first Update has run, looking at the
// origin, with a zero up hint.
extern D3DVECTOR cameraEye;
extern D3DVECTOR cameraTarget;
extern D3DVECTOR cameraUp;
constexpr float CAMERA_HEIGHT = 600.0f;

struct ClearSettings {
    bool clearTarget;
    bool clearZBuffer;
    DWORD clearColor;
};
extern ClearSettings clearSettings;

// 8-bit channels packed as RGB565.
constexpr DWORD PackRgb565(DWORD r, DWORD g, DWORD b) {
    return ((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3);
}

// Scene-local times: global time minus these, as 32-bit floats.
constexpr float SCENE1_OFFSET = 13.0f;
constexpr float SCENE2_OFFSET = 26.0f;
constexpr float SCENE3_OFFSET = 53.0f;
constexpr float SCENE4_OFFSET = 72.3f;
constexpr float SHOW_END_TIME = 118.0f;

class DemoApp : public Application {
public:
    DemoApp();

    HRESULT LoadScene() override;
    HRESULT PrepareDevice() override;
    HRESULT ReleaseDevice() override;
    HRESULT DrawFrame() override;
    HRESULT Animate(float time) override;

    float currentTime;  // seconds, as given to the last Animate
    float timeStep;     // previousTime - currentTime of the last Animate: negative while running
    float previousTime; // the time of the Animate before
    bool firstFrame;    // until the end of the first DrawFrame
    BYTE sceneIndex;    // 0..4, written only by Animate

private:
    void DrawLetterbox(IDirect3DDevice7* d3dDevice);
};

// Frees every mesh file the scene objects hold. Returns 1.
HRESULT ReleaseScenes();
// The "File not found." box, then a quit request; the caller goes on.
void ReportMissingFile();

// The program's entry: the command line has no effect.
int WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);
