// The camera: a view matrix from an eye point, a target and an up hint, and the three view
// matrices (left eye, right eye, single view) that the application keeps.
#pragma once

#include "platform/d3d/d3d.h"

// S_OK, or E_INVALIDARG with `out` untouched when eye and target are too close (or not finite).
// An up hint that is zero or parallel to the view falls back to +y, then +z.
HRESULT BuildLookAtMatrix(D3DMATRIX& out, const D3DVECTOR& eye, const D3DVECTOR& target,
                          const D3DVECTOR& upHint);

// Builds the stereo pair from the eye moved by +-eyeOffset sideways, then the single view. The
// three builds are independent; the result is that of the last. A side vector without direction
// (zero or parallel up hint) leaves the stereo pair as it was.
HRESULT BuildViewMatrices(D3DMATRIX& leftView, D3DMATRIX& rightView, D3DMATRIX& monoView,
                          const D3DVECTOR& eye, const D3DVECTOR& target, const D3DVECTOR& upHint,
                          float eyeOffset);

// For an object that keeps leftView, rightView and monoView (the application).
template <class ViewHolder>
HRESULT BuildViewMatrices(ViewHolder* holder, const D3DVECTOR& eye, const D3DVECTOR& target,
                          const D3DVECTOR& upHint, float eyeOffset) {
    return BuildViewMatrices(holder->leftView, holder->rightView, holder->monoView, eye, target,
                             upHint, eyeOffset);
}
