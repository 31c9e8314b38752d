#include "math/render_records.h"

#include <cmath>
#include <cstring>

void FillSurfaceDesc(DDSURFACEDESC2& desc, DWORD flags, DWORD caps) {
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(DDSURFACEDESC2);
    desc.dwFlags = flags;
    desc.ddsCaps.dwCaps = caps;
    desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
}

void FillMaterial(D3DMATERIAL7& material, float r, float g, float b, float a) {
    std::memset(&material, 0, sizeof(material));
    material.diffuse = D3DCOLORVALUE{r, g, b, a};
    material.ambient = D3DCOLORVALUE{r, g, b, a};
}

void BuildIdentityMatrix(D3DMATRIX& m) {
    std::memset(&m, 0, sizeof(m));
    m._11 = m._22 = m._33 = m._44 = 1.0f;
}

void BuildRotationXMatrix(D3DMATRIX& m, float angle) {
    BuildIdentityMatrix(m);
    const float c = static_cast<float>(CosFloat(angle));
    const float s = static_cast<float>(SinFloat(angle));
    m._22 = c;
    m._23 = s;
    m._32 = -s;
    m._33 = c;
}

void BuildRotationYMatrix(D3DMATRIX& m, float angle) {
    BuildIdentityMatrix(m);
    const float c = static_cast<float>(CosFloat(angle));
    const float s = static_cast<float>(SinFloat(angle));
    m._11 = c;
    m._13 = -s;
    m._31 = s;
    m._33 = c;
}

void BuildRotationZMatrix(D3DMATRIX& m, float angle) {
    BuildIdentityMatrix(m);
    const float c = static_cast<float>(CosFloat(angle));
    const float s = static_cast<float>(SinFloat(angle));
    m._11 = c;
    m._12 = s;
    m._21 = -s;
    m._22 = c;
}

HRESULT BuildProjectionMatrix(D3DMATRIX& m, float fov, float aspect, float nearPlane,
                              float farPlane) {
    if (std::fabs(farPlane - nearPlane) < 0.01f) {
        return E_INVALIDARG;
    }
    const double halfSine = std::sin(fov / 2.0f);
    if (std::fabs(halfSine) < 0.01) {
        return E_INVALIDARG;
    }
    const float c = static_cast<float>(std::cos(fov / 2.0f) / halfSine);
    const float q = farPlane / (farPlane - nearPlane);
    std::memset(&m, 0, sizeof(m));
    m._11 = aspect * c;
    m._22 = c;
    m._33 = q;
    m._34 = 1.0f;
    m._43 = -q * nearPlane;
    return S_OK;
}

void MultiplyMatrices(D3DMATRIX& dst, const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX t;
    std::memset(&t, 0, sizeof(t));
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            for (int k = 0; k < 4; ++k) {
                t.m[i][j] = t.m[i][j] + a.m[i][k] * b.m[k][j];
            }
        }
    }
    std::memcpy(&dst, &t, sizeof(dst));
}

double CosFloat(float x) { return std::cos(static_cast<double>(x)); }

double SinFloat(float x) { return std::sin(static_cast<double>(x)); }
