// Scene 3, the rosette: fifteen copies of "object.3" turned about the line of sight, with a
// dimmer echo behind; scene 4 follows over it from 13 s on.
#pragma once

#include "mesh/mesh_file.h"
#include "platform/d3d/d3d.h"

class RosetteScene {
public:
    HRESULT Init(); // loads "object.3"
    HRESULT Update(float time, float step);
    HRESULT Draw(IDirect3DDevice7* device, float time, float step);

    MeshFile* mesh;
};
