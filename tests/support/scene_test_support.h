// Helpers for tests of the show's scenes: the build's media made findable through a registry
// file of the test's own, the whole show loaded once (textures and the scenes' mesh files), and
// a scene draw on the recording device read back as what the scene asked for: each mesh render
// with the world, grey and texture it was drawn under, and each flat quad with its vertices.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_drivers.h"
#include "support/recording_device.h"

namespace scene_test {

// Points the registry at the build's media folder for its lifetime, so that the program's own
// search (working directory, then media folder) finds the eight files.
class BuildMediaRegistry {
public:
    BuildMediaRegistry();
    ~BuildMediaRegistry();
    BuildMediaRegistry(const BuildMediaRegistry&) = delete;
    BuildMediaRegistry& operator=(const BuildMediaRegistry&) = delete;

private:
    std::string file_;
    std::string previous_;
    bool hadPrevious_ = false;
};

// The five textures into the store and every scene object's Init, as the demo's start does.
void LoadShow();
// Frees the scenes' mesh files and empties the texture store.
void ReleaseShow();

// One MeshFile::Render, found by the GetMaterial call it starts with.
struct RenderCall {
    size_t call = 0; // index in the device's log
    d3d::DeviceState state;
    // The first vertex of the first mesh drawn, to tell which file (or scaled copy) it was.
    D3DVERTEX firstVertex{};
    bool drewSomething = false;
};

// One DrawPrimitive: a flat quad of a scene or the letterbox.
struct QuadCall {
    size_t call = 0;
    d3d::DeviceState state;
    const d3d::DeviceCall* draw = nullptr;
};

struct DrawLog {
    std::vector<RenderCall> renders;
    std::vector<QuadCall> quads;
    // The render states in effect after the last call.
    d3d::DeviceState end;
};

DrawLog ReadLog(const d3d::RecordingDevice& device);

// A corner of a quad as the scenes give it: (x, y, z) and (tu, tv); the normal is (0, 1, 0).
struct Corner {
    float x, y, z, tu, tv;
};
// The quad is one strip of four D3DVERTEX with flags 0, and its corners are these, in order,
// each coordinate within the tolerance.
::testing::AssertionResult IsQuad(const QuadCall& quad, const Corner (&corners)[4],
                                  float tolerance = 1e-5f);

// A 4 x 4 matrix in double precision, for expected world matrices worked out in the test
// itself: row vectors, translations in row 4, and in A * B the transform A acts first.
struct Matrix {
    double m[4][4];
};
Matrix Identity();
Matrix RotationX(double angle); // carries y towards z
Matrix RotationY(double angle); // carries z towards x
Matrix RotationZ(double angle); // carries x towards y
Matrix Translation(double x, double y, double z);
Matrix operator*(const Matrix& a, const Matrix& b);

// Each element within tolerance x max(1, |expected|): translations run to hundreds of units.
::testing::AssertionResult MatrixNear(const D3DMATRIX& actual, const Matrix& expected,
                                      double tolerance = 1e-4);

// A recording device with the show loaded once per suite and the textures on the device, inside
// BeginScene with a fresh log for each test. The states a scene starts from are the demo's:
// blending factors one and one, z-buffering and blending as the frame leaves them.
class SceneLogicTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Runs one scene draw on a fresh log and reads it back.
    template <class Scene> DrawLog DrawScene(Scene& scene, float time, float step = -0.02f) {
        recording->ClearLog();
        scene.Draw(device, time, step);
        return ReadLog(*recording);
    }

    host::ScopedDrivers drivers{test_drivers::TypicalFakeDrivers()};
    IDirectDraw7* directDraw = nullptr;
    IDirect3D7* direct3D = nullptr;
    IDirectDrawSurface7* target = nullptr;
    IDirect3DDevice7* device = nullptr;
    d3d::RecordingDevice* recording = nullptr;

private:
    static BuildMediaRegistry* registry_;
};

// The grey of a material as the scenes set it: r, g and b alike, alpha 1, diffuse = ambient.
::testing::AssertionResult IsGrey(const D3DMATERIAL7& material, float grey,
                                  float tolerance = 1e-5f);

} // namespace scene_test
