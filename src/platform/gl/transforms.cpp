// Matrix arithmetic for the GL backend.
#include "platform/gl/transforms.h"

#include <cmath>

namespace gl {

D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX r{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] +
                        a.m[i][3] * b.m[3][j];
        }
    }
    return r;
}

void NormalMatrix(const D3DMATRIX& m, float out[9]) {
    // Cofactors of the 3 x 3 part; divided by the determinant they are the inverse, transposed.
    const float c00 = m._22 * m._33 - m._23 * m._32;
    const float c01 = m._23 * m._31 - m._21 * m._33;
    const float c02 = m._21 * m._32 - m._22 * m._31;
    const float c10 = m._13 * m._32 - m._12 * m._33;
    const float c11 = m._11 * m._33 - m._13 * m._31;
    const float c12 = m._12 * m._31 - m._11 * m._32;
    const float c20 = m._12 * m._23 - m._13 * m._22;
    const float c21 = m._13 * m._21 - m._11 * m._23;
    const float c22 = m._11 * m._22 - m._12 * m._21;
    const float determinant = m._11 * c00 + m._12 * c01 + m._13 * c02;
    const float scale = std::fabs(determinant) > 1e-20f ? 1.0f / determinant : 1.0f;
    const float cofactors[9] = {c00, c01, c02, c10, c11, c12, c20, c21, c22};
    for (int i = 0; i < 9; ++i) {
        out[i] = cofactors[i] * scale;
    }
}

D3DMATRIX ClipCorrection() {
    D3DMATRIX c{};
    c._11 = 1.0f;
    c._22 = 1.0f;
    c._33 = 2.0f; // z' = 2z - w
    c._43 = -1.0f;
    c._44 = 1.0f;
    return c;
}

D3DVECTOR TransformPoint(const D3DVECTOR& p, const D3DMATRIX& m) {
    return D3DVECTOR{p.x * m._11 + p.y * m._21 + p.z * m._31 + m._41,
                     p.x * m._12 + p.y * m._22 + p.z * m._32 + m._42,
                     p.x * m._13 + p.y * m._23 + p.z * m._33 + m._43};
}

D3DVECTOR TransformDirection(const D3DVECTOR& d, const D3DMATRIX& m) {
    return D3DVECTOR{d.x * m._11 + d.y * m._21 + d.z * m._31,
                     d.x * m._12 + d.y * m._22 + d.z * m._32,
                     d.x * m._13 + d.y * m._23 + d.z * m._33};
}

D3DVECTOR Normalised(const D3DVECTOR& v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (!(length > 0.0f)) {
        return D3DVECTOR{0, 0, 0};
    }
    return D3DVECTOR{v.x / length, v.y / length, v.z / length};
}

} // namespace gl
