#include "math/vector.h"

#include <cmath>

D3DVECTOR MakeVector(float x, float y, float z) { return D3DVECTOR{x, y, z}; }

D3DVERTEX MakeVertex(const D3DVECTOR& position, const D3DVECTOR& normal, float tu, float tv) {
    return D3DVERTEX{position.x, position.y, position.z, normal.x, normal.y, normal.z, tu, tv};
}

D3DVECTOR VecAdd(const D3DVECTOR& a, const D3DVECTOR& b) {
    return D3DVECTOR{a.x + b.x, a.y + b.y, a.z + b.z};
}

D3DVECTOR VecSub(const D3DVECTOR& a, const D3DVECTOR& b) {
    return D3DVECTOR{a.x - b.x, a.y - b.y, a.z - b.z};
}

D3DVECTOR VecScale(const D3DVECTOR& v, float s) { return D3DVECTOR{s * v.x, s * v.y, s * v.z}; }

D3DVECTOR VecScale(float s, const D3DVECTOR& v) { return VecScale(v, s); }

D3DVECTOR VecDivide(const D3DVECTOR& v, float s) { return D3DVECTOR{v.x / s, v.y / s, v.z / s}; }

D3DVECTOR& VecDivideInPlace(D3DVECTOR& v, float s) {
    v.x /= s;
    v.y /= s;
    v.z /= s;
    return v;
}

float VecDot(const D3DVECTOR& a, const D3DVECTOR& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

D3DVECTOR VecCross(const D3DVECTOR& a, const D3DVECTOR& b) {
    return D3DVECTOR{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float VecLengthSquared(const D3DVECTOR& v) { return v.x * v.x + v.y * v.y + v.z * v.z; }

float VecLength(const D3DVECTOR& v) { return std::sqrt(VecLengthSquared(v)); }

D3DVECTOR VecNormalize(const D3DVECTOR& v) { return VecDivide(v, VecLength(v)); }
