// Scene 4, the finale: chains of "object.2" copies, two sliding bands and the end title.
#pragma once

#include "mesh/mesh_file.h"
#include "platform/d3d/d3d.h"

class FinaleScene {
public:
    HRESULT Init(); // loads "object.2"
    HRESULT Update(float time);
    HRESULT Draw(IDirect3DDevice7* device, float time, float step);

    MeshFile* mesh;
};
