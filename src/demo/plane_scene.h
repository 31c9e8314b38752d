// Scene 2, the plane lattice: eight large textured planes turning as one rigid lattice, with a
// flash at 20 s; scene 3 follows over it from 22 s on. It holds no state.
#pragma once

#include "platform/d3d/d3d.h"

class PlaneScene {
public:
    HRESULT Init();
    HRESULT Update(float time, float step);
    HRESULT Draw(IDirect3DDevice7* device, float time, float step);
};
