#include "math/camera.h"

#include "math/render_records.h"
#include "math/vector.h"

namespace {

// Written as "not (len >= min)" so that a NaN length fails too.
bool HasDirection(float length) {
    return length >= MIN_DIRECTION_LENGTH;
}

} // namespace

HRESULT BuildLookAtMatrix(D3DMATRIX& out, const D3DVECTOR& eye, const D3DVECTOR& target,
                          const D3DVECTOR& upHint) {
    D3DVECTOR view = VecSub(target, eye);
    const float viewLength = VecLength(view);
    if (!HasDirection(viewLength)) {
        return E_INVALIDARG;
    }
    VecDivideInPlace(view, viewLength);

    D3DVECTOR up = VecSub(upHint, VecScale(VecDot(upHint, view), view));
    float upLength = VecLength(up);
    if (!HasDirection(upLength)) {
        up = VecSub(MakeVector(0.0f, 1.0f, 0.0f), VecScale(view.y, view));
        upLength = VecLength(up);
        if (!HasDirection(upLength)) {
            up = VecSub(MakeVector(0.0f, 0.0f, 1.0f), VecScale(view.z, view));
            upLength = VecLength(up);
            if (!HasDirection(upLength)) {
                return E_INVALIDARG;
            }
        }
    }
    VecDivideInPlace(up, upLength);
    const D3DVECTOR right = VecCross(up, view);

    BuildIdentityMatrix(out);
    out._11 = right.x;
    out._12 = up.x;
    out._13 = view.x;
    out._21 = right.y;
    out._22 = up.y;
    out._23 = view.y;
    out._31 = right.z;
    out._32 = up.z;
    out._33 = view.z;
    out._41 = -VecDot(eye, right);
    out._42 = -VecDot(eye, up);
    out._43 = -VecDot(eye, view);
    return S_OK;
}

HRESULT BuildViewMatrices(D3DMATRIX& leftView, D3DMATRIX& rightView, D3DMATRIX& monoView,
                          const D3DVECTOR& eye, const D3DVECTOR& target, const D3DVECTOR& upHint,
                          float eyeOffset) {
    const D3DVECTOR side = VecScale(VecNormalize(VecCross(VecSub(target, eye), upHint)), eyeOffset);
    BuildLookAtMatrix(leftView, VecAdd(eye, side), target, upHint);
    BuildLookAtMatrix(rightView, VecSub(eye, side), target, upHint);
    return BuildLookAtMatrix(monoView, eye, target, upHint);
}
