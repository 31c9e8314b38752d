// Matrix arithmetic for the GL backend.
#include "platform/gl/transforms.h"

#include <cmath>

#include "platform/gl/mode_pixels.h"

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

namespace {

// Up to two distinct values, a thousandth of a pixel apart at least; false for a third.
bool AddEdge(double value, double edges[2], int* count) {
    constexpr double SAME = 1e-3;
    for (int i = 0; i < *count; ++i) {
        if (std::fabs(edges[i] - value) < SAME) {
            return true;
        }
    }
    if (*count == 2) {
        return false;
    }
    edges[(*count)++] = value;
    return true;
}

// The affine map of normalised device coordinates along one axis that moves edges e[0] and
// e[1] (mode pixels, along the axis as the viewport counts) to the boundaries 1x rasterisation
// gives them, in the target's pixels. `ndc` turns a mode coordinate into device coordinates,
// `target` a mode boundary into the device coordinate of its target pixel boundary.
template <typename ToNdc, typename ToTarget>
void SnapAxis(const double e[2], ToNdc ndc, ToTarget target, float* scale, float* offset) {
    // A pixel is covered when its centre is, so an edge at e lies between pixels ceil(e - 0.5)
    // - 1 and ceil(e - 0.5), on either side of it.
    const double low = std::ceil(e[0] - 0.5), high = std::ceil(e[1] - 0.5);
    const double from0 = ndc(e[0]), from1 = ndc(e[1]);
    const double to0 = target(low), to1 = target(high);
    const double a = (to1 - to0) / (from1 - from0);
    *scale = float(a);
    *offset = float(to0 - a * from0);
}

} // namespace

bool SnapRectangle(const D3DMATRIX& clip, const SnapGrid& grid, const D3DVERTEX* vertices,
                   DWORD count, D3DMATRIX* correction) {
    const D3DVIEWPORT7& vp = grid.viewport;
    if ((count != 4 && count != 6) || vp.dwWidth == 0 || vp.dwHeight == 0 || grid.modeWidth <= 0 ||
        grid.modeHeight <= 0) {
        return false;
    }
    double xs[2], ys[2];
    int xCount = 0, yCount = 0;
    for (DWORD i = 0; i < count; ++i) {
        const D3DVERTEX& v = vertices[i];
        const double w =
            double(v.x) * clip._14 + double(v.y) * clip._24 + double(v.z) * clip._34 + clip._44;
        if (!(w > 1e-6)) {
            return false;
        }
        const double x =
            (double(v.x) * clip._11 + double(v.y) * clip._21 + double(v.z) * clip._31 + clip._41) /
            w;
        const double y =
            (double(v.x) * clip._12 + double(v.y) * clip._22 + double(v.z) * clip._32 + clip._42) /
            w;
        // In mode pixels, rows from the top as the viewport counts them.
        const double mx = vp.dwX + (x + 1.0) * 0.5 * vp.dwWidth;
        const double my = vp.dwY + (1.0 - y) * 0.5 * vp.dwHeight;
        if (!AddEdge(mx, xs, &xCount) || !AddEdge(my, ys, &yCount)) {
            return false;
        }
    }
    if (xCount != 2 || yCount != 2) {
        return false;
    }
    // The viewport in the target's pixels, GL's rows from the bottom, as the renderer sets it.
    const double left = BlockStart(vp.dwX, grid.width, grid.modeWidth);
    const double right = BlockStart(int64_t(vp.dwX) + vp.dwWidth, grid.width, grid.modeWidth);
    const double bottom =
        BlockStart(int64_t(grid.modeHeight) - vp.dwY - vp.dwHeight, grid.height, grid.modeHeight);
    const double top = BlockStart(int64_t(grid.modeHeight) - vp.dwY, grid.height, grid.modeHeight);
    D3DMATRIX c{};
    c._33 = 1.0f;
    c._44 = 1.0f;
    SnapAxis(
        xs, [&](double m) { return (m - vp.dwX) / vp.dwWidth * 2.0 - 1.0; },
        [&](double boundary) {
            const double t = BlockStart(int64_t(boundary), grid.width, grid.modeWidth);
            return (t - left) / (right - left) * 2.0 - 1.0;
        },
        &c._11, &c._41);
    SnapAxis(
        ys, [&](double m) { return 1.0 - (m - vp.dwY) / vp.dwHeight * 2.0; },
        [&](double boundary) {
            const double t = BlockStart(int64_t(grid.modeHeight) - int64_t(boundary), grid.height,
                                        grid.modeHeight);
            return (t - bottom) / (top - bottom) * 2.0 - 1.0;
        },
        &c._22, &c._42);
    *correction = c;
    return true;
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
