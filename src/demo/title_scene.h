// Scene 0, the title: nested copies of "object.1" turning in grey light while the title picture
// slides together and fades in over a faint backdrop; scene 1 fades in over its last seconds.
#pragma once

#include "mesh/mesh_file.h"
#include "platform/d3d/d3d.h"

constexpr int TITLE_MESH_COUNT = 20;

class TitleScene {
public:
    // Loads twenty copies of "object.1", copy k scaled by (200 - 20k) x 0.025.
    HRESULT Init();
    HRESULT Update(float time);
    // Local time t equals the global time; step is handed on to scene 1.
    HRESULT Draw(IDirect3DDevice7* device, float time, float step);

    MeshFile* meshes[TITLE_MESH_COUNT];
};
