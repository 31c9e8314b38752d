// The demo's process-wide objects, set up before the entry point runs: the camera, the clear
// settings and the five scene objects (empty until LoadScene).
#include "demo/demo_app.h"
#include "demo/scene_objects.h"

D3DVECTOR cameraEye = {0.0f, 0.0f, 0.0f};
D3DVECTOR cameraTarget = {0.0f, 0.0f, 0.0f};
D3DVECTOR cameraUp = {0.0f, 0.0f, 0.0f};

// The colour is packed as RGB565 but handed to the clear as it is, an XRGB colour: the clear is
// 0x00001843 (a deep blue), not the RGB (28, 10, 30) it was packed from.
ClearSettings clearSettings = {true, true, PackRgb565(28, 10, 30)};
static_assert(PackRgb565(28, 10, 30) == 0x1843);

TitleScene titleScene;
SwarmScene swarmScene;
PlaneScene planeScene;
RosetteScene rosetteScene;
FinaleScene finaleScene;
