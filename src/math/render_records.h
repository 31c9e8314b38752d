// Builders of the platform's fixed-layout records: surface descriptions, materials and 4x4
// matrices. Every builder writes the record given as its first argument in place.
//
// Matrices follow the platform's row-vector convention: a point p becomes p x M, translations
// sit in row 4, and in A x B the transform A acts first.
#pragma once

#include "platform/d3d/d3d.h"

// Zeroes all 124 bytes, then sets dwSize, dwFlags, ddsCaps.dwCaps and the pixel format's dwSize.
void FillSurfaceDesc(DDSURFACEDESC2& desc, DWORD flags, DWORD caps);
// Zeroes all 68 bytes, then diffuse = ambient = (r, g, b, a). Values outside 0..1 pass unchanged.
void FillMaterial(D3DMATERIAL7& material, float r, float g, float b, float a);

void BuildIdentityMatrix(D3DMATRIX& m);
void BuildRotationXMatrix(D3DMATRIX& m, float angle);
void BuildRotationYMatrix(D3DMATRIX& m, float angle);
void BuildRotationZMatrix(D3DMATRIX& m, float angle);
// Perspective projection with depth mapped to 0..1. E_INVALIDARG, m untouched, when the planes
// are closer than 0.01 or the half-angle's sine is below 0.01 in magnitude.
HRESULT BuildProjectionMatrix(D3DMATRIX& m, float fov, float aspect, float nearPlane,
                              float farPlane);
// dst = a x b through a local copy, so dst may be a or b. Each partial sum is a float.
void MultiplyMatrices(D3DMATRIX& dst, const D3DMATRIX& a, const D3DMATRIX& b);

// Cosine and sine evaluated in double precision.
double CosFloat(float x);
double SinFloat(float x);
