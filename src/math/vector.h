// Vector operations on D3DVECTOR and the vertex builder. Plain functions on values: each answers
// a new vector (VecDivideInPlace writes its argument) and none allocates.
#pragma once

#include "platform/d3d/d3d.h"

// Shorter than this counts as having no direction (the 32-bit float nearest to 1e-6).
constexpr float MIN_DIRECTION_LENGTH = 1e-6f;

D3DVECTOR MakeVector(float x, float y, float z);
D3DVERTEX MakeVertex(const D3DVECTOR& position, const D3DVECTOR& normal, float tu, float tv);

D3DVECTOR VecAdd(const D3DVECTOR& a, const D3DVECTOR& b);
D3DVECTOR VecSub(const D3DVECTOR& a, const D3DVECTOR& b);
D3DVECTOR VecScale(const D3DVECTOR& v, float s);
D3DVECTOR VecScale(float s, const D3DVECTOR& v);
D3DVECTOR VecDivide(const D3DVECTOR& v, float s);
D3DVECTOR& VecDivideInPlace(D3DVECTOR& v, float s);
float VecDot(const D3DVECTOR& a, const D3DVECTOR& b);
D3DVECTOR VecCross(const D3DVECTOR& a, const D3DVECTOR& b);
float VecLengthSquared(const D3DVECTOR& v);
float VecLength(const D3DVECTOR& v);
// Divides by the length without testing it: a zero vector comes out non-finite.
D3DVECTOR VecNormalize(const D3DVECTOR& v);
