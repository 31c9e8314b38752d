// The render states every scene's Draw works under: additive blending with no depth test while
// it draws, then blending off and depth test on again for whatever follows (the letterbox).
#pragma once

#include "platform/d3d/d3d.h"

inline void BeginAdditiveStates(IDirect3DDevice7* device) {
    device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
}

inline void EndAdditiveStates(IDirect3DDevice7* device) {
    device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRENDERSTATE_ZENABLE, TRUE);
}
