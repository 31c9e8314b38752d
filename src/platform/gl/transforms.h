// Matrix arithmetic for the device's row-vector convention (p' = p x M, translations in row 4,
// A x B applies A first), and the corrections from the platform's clip space to GL's.
#pragma once

#include "platform/d3d/d3d.h"

namespace gl {

D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b);

// The matrix that turns normals the way the world-view matrix turns directions (the inverse of
// its upper 3 x 3 part, to be used transposed), in row-major order. A singular matrix gives its
// cofactors, which keep directions without a scale.
void NormalMatrix(const D3DMATRIX& worldView, float out[9]);

// Applied after the projection: depth 0..1 becomes GL's -1..1. Pixel centres stay where GL has
// them (on halves): moving the picture by half a pixel to put them on whole coordinates would
// put a full-screen quad's top edge on the top row's centres, which GL's fill rule leaves out.
D3DMATRIX ClipCorrection();

// Where a draw's edges fall when the target is finer than the mode's pixels (a larger internal
// resolution, multisampling): a draw of 4 or 6 vertices that is an axis-aligned rectangle on
// screen (bars, rules, panels) gets a correction, applied after `clip` (the world to GL clip
// space transform), that moves its edges to the mode-pixel boundaries its 1x rasterisation
// puts them on, mapped to the target's pixels as the mode pixels' blocks are (BlockStart). So it
// covers exactly the mode pixels it covers at 1x, as whole blocks, at every scale. False for
// anything else (and for a rectangle reaching behind the eye).
struct SnapGrid {
    D3DVIEWPORT7 viewport{}; // in mode pixels
    int modeWidth = 0, modeHeight = 0;
    int width = 0, height = 0; // the target's pixels
};
bool SnapRectangle(const D3DMATRIX& clip, const SnapGrid& grid, const D3DVERTEX* vertices,
                   DWORD count, D3DMATRIX* correction);

// A point (w = 1) and a direction (w = 0) through a matrix.
D3DVECTOR TransformPoint(const D3DVECTOR& p, const D3DMATRIX& m);
D3DVECTOR TransformDirection(const D3DVECTOR& d, const D3DMATRIX& m);
D3DVECTOR Normalised(const D3DVECTOR& v);

} // namespace gl
