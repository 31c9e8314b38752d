// Vector, camera and matrix helpers: the cases where a sign, an order or a fall-back is easy to
// get wrong.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "math/camera.h"
#include "math/render_records.h"
#include "math/vector.h"

namespace {

void ExpectRows(const D3DMATRIX& m, const float (&rows)[4][4], float tolerance = 1e-6f) {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            EXPECT_NEAR(m.m[i][j], rows[i][j], tolerance) << "element _" << i + 1 << j + 1;
        }
    }
}

D3DMATRIX Filled(float value) {
    D3DMATRIX m;
    for (auto& row : m.m) {
        for (float& v : row) {
            v = value;
        }
    }
    return m;
}

TEST(Vector, CrossProductFollowsTheRightHandedFormula) {
    D3DVECTOR z = VecCross(MakeVector(1, 0, 0), MakeVector(0, 1, 0));
    EXPECT_EQ(z.x, 0.0f);
    EXPECT_EQ(z.y, 0.0f);
    EXPECT_EQ(z.z, 1.0f);
    D3DVECTOR minusX = VecCross(MakeVector(0, 0, 1), MakeVector(0, 1, 0));
    EXPECT_EQ(minusX.x, -1.0f);
    EXPECT_EQ(minusX.y, 0.0f);
    EXPECT_EQ(minusX.z, 0.0f);
}

TEST(Vector, IndexingAndInPlaceDivisionWriteTheVector) {
    D3DVECTOR v = MakeVector(2, 4, 8);
    v[1] = 6;
    EXPECT_EQ(v.y, 6.0f);
    D3DVECTOR& same = VecDivideInPlace(v, 2);
    EXPECT_EQ(&same, &v);
    EXPECT_EQ(v.x, 1.0f);
    EXPECT_EQ(v.y, 3.0f);
    EXPECT_EQ(v.z, 4.0f);
    EXPECT_FLOAT_EQ(VecLength(MakeVector(3, 4, 12)), 13.0f);
}

TEST(Vector, NormalisingZeroYieldsNonFiniteWithoutComplaint) {
    D3DVECTOR n = VecNormalize(MakeVector(0, 0, 0));
    EXPECT_FALSE(std::isfinite(n.x));
}

TEST(LookAt, DemoCameraFallsBackToPlusZAsUp) {
    D3DMATRIX m;
    ASSERT_EQ(BuildLookAtMatrix(m, MakeVector(0, 600, 0), MakeVector(0, 0, 0), MakeVector(0, 0, 0)),
              S_OK);
    const float expected[4][4] = {{1, 0, 0, 0}, {0, 0, -1, 0}, {0, 1, 0, 0}, {0, 0, 600, 1}};
    ExpectRows(m, expected);
}

TEST(LookAt, AlongPlusZWithPlusYUpIsTheIdentity) {
    D3DMATRIX m;
    ASSERT_EQ(BuildLookAtMatrix(m, MakeVector(0, 0, 0), MakeVector(0, 0, 1), MakeVector(0, 1, 0)),
              S_OK);
    const float identity[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    ExpectRows(m, identity);
}

TEST(LookAt, RefusesCoincidentOrNonFinitePointsAndLeavesTheMatrix) {
    D3DMATRIX m = Filled(7.0f);
    EXPECT_EQ(BuildLookAtMatrix(m, MakeVector(1, 2, 3), MakeVector(1, 2, 3), MakeVector(0, 1, 0)),
              E_INVALIDARG);
    const float nan = std::nanf("");
    EXPECT_EQ(BuildLookAtMatrix(m, MakeVector(nan, 0, 0), MakeVector(0, 0, 1), MakeVector(0, 1, 0)),
              E_INVALIDARG);
    for (auto& row : m.m) {
        for (float v : row) {
            EXPECT_EQ(v, 7.0f);
        }
    }
}

TEST(LookAt, UpHintParallelToViewFallsBackToPlusY) {
    D3DMATRIX m;
    ASSERT_EQ(BuildLookAtMatrix(m, MakeVector(0, 0, 0), MakeVector(0, 0, 5), MakeVector(0, 0, 3)),
              S_OK);
    EXPECT_NEAR(m._22, 1.0f, 1e-6f); // up.y
    EXPECT_NEAR(m._11, 1.0f, 1e-6f); // right.x
}

TEST(ViewMatrices, StereoEyesAreOffsetSidewaysAndMonoIsCentred) {
    D3DMATRIX left, right, mono;
    BuildViewMatrices(left, right, mono, MakeVector(0, 0, -10), MakeVector(0, 0, 0),
                      MakeVector(0, 1, 0), 1.0f);
    D3DMATRIX expectedLeft, expectedRight, expectedMono;
    BuildLookAtMatrix(expectedLeft, MakeVector(-1, 0, -10), MakeVector(0, 0, 0), MakeVector(0, 1, 0));
    BuildLookAtMatrix(expectedRight, MakeVector(1, 0, -10), MakeVector(0, 0, 0), MakeVector(0, 1, 0));
    BuildLookAtMatrix(expectedMono, MakeVector(0, 0, -10), MakeVector(0, 0, 0), MakeVector(0, 1, 0));
    EXPECT_EQ(std::memcmp(&left, &expectedLeft, sizeof(D3DMATRIX)), 0);
    EXPECT_EQ(std::memcmp(&right, &expectedRight, sizeof(D3DMATRIX)), 0);
    EXPECT_EQ(std::memcmp(&mono, &expectedMono, sizeof(D3DMATRIX)), 0);
}

TEST(ViewMatrices, ZeroUpHintKeepsTheStereoPairAndStillBuildsMono) {
    struct Holder {
        D3DMATRIX leftView = Filled(3.0f);
        D3DMATRIX rightView = Filled(4.0f);
        D3DMATRIX monoView = Filled(5.0f);
    } holder;
    EXPECT_EQ(BuildViewMatrices(&holder, MakeVector(0, 600, 0), MakeVector(0, 0, 0),
                                MakeVector(0, 0, 0), 1.0f),
              S_OK);
    EXPECT_EQ(holder.leftView._11, 3.0f);
    EXPECT_EQ(holder.rightView._44, 4.0f);
    EXPECT_EQ(holder.monoView._43, 600.0f);
}

TEST(Projection, RefusesDegeneratePlanesAndAnglesWithoutWriting) {
    D3DMATRIX m = Filled(9.0f);
    EXPECT_EQ(BuildProjectionMatrix(m, 1.0f, 1.0f, 5.0f, 5.0f), E_INVALIDARG);
    EXPECT_EQ(BuildProjectionMatrix(m, 1.0f, 1.0f, 1.0f, 1.005f), E_INVALIDARG);
    EXPECT_EQ(BuildProjectionMatrix(m, 0.0f, 1.0f, 1.0f, 1000.0f), E_INVALIDARG);
    EXPECT_EQ(BuildProjectionMatrix(m, 6.2831853f, 1.0f, 1.0f, 1000.0f), E_INVALIDARG);
    EXPECT_EQ(m._11, 9.0f);
    EXPECT_EQ(m._44, 9.0f);
}

TEST(Projection, QuarterTurnFieldOfView) {
    D3DMATRIX m;
    ASSERT_EQ(BuildProjectionMatrix(m, 1.5707964f, 0.75f, 1.0f, 1000.0f), S_OK);
    const float q = 1000.0f / 999.0f;
    const float expected[4][4] = {{0.75f, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, q, 1}, {0, 0, -q, 0}};
    ExpectRows(m, expected, 1e-6f);
}

TEST(Rotation, SignsCarryEachAxisTowardTheNext) {
    D3DMATRIX z;
    BuildRotationZMatrix(z, 0.0f);
    const float identity[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    ExpectRows(z, identity);

    D3DMATRIX y;
    BuildRotationYMatrix(y, 1.5707964f);
    EXPECT_NEAR(y._13, -1.0f, 1e-6f);
    EXPECT_NEAR(y._31, 1.0f, 1e-6f);
    EXPECT_NEAR(y._11, 0.0f, 1e-6f);

    BuildRotationZMatrix(z, 1.5707964f); // x axis toward y: row (1,0,0) becomes (0,1,0)
    EXPECT_NEAR(z._11, 0.0f, 1e-6f);
    EXPECT_NEAR(z._12, 1.0f, 1e-6f);
    D3DMATRIX x;
    BuildRotationXMatrix(x, 1.5707964f); // y toward z
    EXPECT_NEAR(x._23, 1.0f, 1e-6f);
}

TEST(Multiply, InPlaceProductsUseTheOldOperands) {
    D3DMATRIX m;
    BuildRotationZMatrix(m, 0.3f);
    m._41 = 2.0f;
    D3DMATRIX expected;
    BuildRotationZMatrix(expected, 0.6f);
    expected._41 = 2.0f + 2.0f * std::cos(0.3f);
    expected._42 = 2.0f * std::sin(0.3f);
    MultiplyMatrices(m, m, m);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            EXPECT_NEAR(m.m[i][j], expected.m[i][j], 1e-5f);
        }
    }

    D3DMATRIX identity, b = Filled(0.0f), copy;
    BuildIdentityMatrix(identity);
    for (int i = 0; i < 16; ++i) {
        b.m[i / 4][i % 4] = static_cast<float>(i) * 1.5f - 3.0f;
    }
    MultiplyMatrices(copy, identity, b);
    EXPECT_EQ(std::memcmp(&copy, &b, sizeof(D3DMATRIX)), 0);
}

TEST(Multiply, TranslationThenRotationActsInThatOrder) {
    D3DMATRIX t, r, world;
    BuildIdentityMatrix(t);
    t._41 = 10.0f; // move along x
    BuildRotationZMatrix(r, 1.5707964f);
    MultiplyMatrices(world, t, r); // move first, then turn: (10,0,0) ends on +y
    EXPECT_NEAR(world._41, 0.0f, 1e-5f);
    EXPECT_NEAR(world._42, 10.0f, 1e-5f);
}

TEST(Records, FillersZeroEverythingElse) {
    D3DMATERIAL7 mat;
    std::memset(&mat, 0xAB, sizeof(mat));
    FillMaterial(mat, 0.3f, 0.3f, 0.3f, 1.0f);
    EXPECT_EQ(mat.diffuse.r, 0.3f);
    EXPECT_EQ(mat.ambient.a, 1.0f);
    EXPECT_EQ(mat.specular.r, 0.0f);
    EXPECT_EQ(mat.emissive.a, 0.0f);
    EXPECT_EQ(mat.power, 0.0f);

    DDSURFACEDESC2 desc;
    std::memset(&desc, 0xCD, sizeof(desc));
    FillSurfaceDesc(desc, 0, 0);
    DDSURFACEDESC2 expected;
    std::memset(&expected, 0, sizeof(expected));
    expected.dwSize = 124;
    expected.ddpfPixelFormat.dwSize = 32;
    EXPECT_EQ(std::memcmp(&desc, &expected, sizeof(desc)), 0);
}

} // namespace
