// The small drawing steps every scene repeats: a grey material, a world matrix, a translation,
// and a flat four-vertex strip. All of them work on the caller's locals; nothing allocates, so a
// scene's frame stays free of the heap.
#pragma once

#include "platform/d3d/d3d.h"

// One corner of a flat picture: position and texture coordinates. The normal is always
// (0, 1, 0), towards the camera above.
struct QuadCorner {
    float x, y, z;
    float tu, tv;
};

// Sets a material of grey v: diffuse and ambient (v, v, v, 1). v may leave 0..1; a negative grey
// lights to black, which adds nothing under additive blending.
void SetGrey(IDirect3DDevice7* device, float grey);

void SetWorld(IDirect3DDevice7* device, const D3DMATRIX& world);
void SetWorldIdentity(IDirect3DDevice7* device);

// The identity with row 4 filled: a move by (x, y, z) in the row-vector convention.
void BuildTranslationMatrix(D3DMATRIX& m, float x, float y, float z);

// One D3DPT_TRIANGLESTRIP of four D3DVERTEX (normal (0, 1, 0)), in the order given, flags 0.
void DrawQuad(IDirect3DDevice7* device, const QuadCorner (&corners)[4]);
