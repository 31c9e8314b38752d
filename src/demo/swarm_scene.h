// Scene 1, the swarm: 160 copies of "object.2" on rows winding around the centre, a scrolling
// strip and a pulsing backdrop; scene 2 follows over its last seconds.
#pragma once

#include "mesh/mesh_file.h"
#include "platform/d3d/d3d.h"

class SwarmScene {
public:
    HRESULT Init(); // loads "object.2"
    HRESULT Update(float time);
    HRESULT Draw(IDirect3DDevice7* device, float time, float step);

    MeshFile* mesh;
};
