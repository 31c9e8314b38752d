// Helpers for tests of the show's scenes.
#include "support/scene_test_support.h"

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "demo/demo_app.h"
#include "demo/scene_objects.h"
#include "support/graphics_test_support.h"
#include "support/image_files.h"
#include "texture/texture_store.h"
#include "texture/texture_surfaces.h"

namespace fs = std::filesystem;

namespace scene_test {

namespace {

constexpr const char* SHOW_TEXTURES[] = {"title.bmp", "file.bmp", "misc.bmp", "the_end.bmp",
                                         "nosound.bmp"};

} // namespace

BuildMediaRegistry::BuildMediaRegistry() {
    if (const char* old = std::getenv("LUMENFALL_REGISTRY")) {
        previous_ = old;
        hadPrevious_ = true;
    }
    file_ = (fs::temp_directory_path() /
             ("lumenfall-scenes-" + std::to_string(getpid()) + "-registry.ini"))
                .string();
    // The registry names the folder that holds Marlow/Media.
    const std::string samples = fs::path(LUMENFALL_MEDIA_DIR).parent_path().parent_path().string();
    const std::string text =
        "[HKEY_LOCAL_MACHINE\\Software\\Quorvane\\DirectX]\nKestrel Samples Path=" + samples + "\n";
    test_images::WriteFile(file_, test_images::Bytes(text.begin(), text.end()));
    setenv("LUMENFALL_REGISTRY", file_.c_str(), 1);
}

BuildMediaRegistry::~BuildMediaRegistry() {
    if (hadPrevious_) {
        setenv("LUMENFALL_REGISTRY", previous_.c_str(), 1);
    } else {
        unsetenv("LUMENFALL_REGISTRY");
    }
    std::error_code ignored;
    fs::remove(file_, ignored);
}

void LoadShow() {
    for (const char* name : SHOW_TEXTURES) {
        EXPECT_EQ(AddTexture(name, 0, 0), S_OK) << name;
    }
    titleScene.Init();
    swarmScene.Init();
    planeScene.Init();
    rosetteScene.Init();
    finaleScene.Init();
}

void ReleaseShow() {
    ReleaseScenes();
    InvalidateAllTextures();
    while (textureStore.head != nullptr) {
        RemoveTexture(textureStore.head->name);
    }
}

DrawLog ReadLog(const d3d::RecordingDevice& device) {
    DrawLog log;
    const auto& calls = device.Calls();
    for (size_t i = 0; i < calls.size(); ++i) {
        const d3d::DeviceCall& call = calls[i];
        if (call.method == d3d::DeviceMethod::GetMaterial) {
            RenderCall render;
            render.call = i;
            render.state = device.StateBefore(i);
            log.renders.push_back(render);
        } else if (call.method == d3d::DeviceMethod::DrawIndexedPrimitive) {
            if (!log.renders.empty() && !log.renders.back().drewSomething &&
                !call.vertices.empty()) {
                log.renders.back().drewSomething = true;
                log.renders.back().firstVertex = call.vertices.front();
            }
        } else if (call.method == d3d::DeviceMethod::DrawPrimitive) {
            QuadCall quad;
            quad.call = i;
            quad.state = device.StateBefore(i);
            quad.draw = &call;
            log.quads.push_back(quad);
        }
    }
    log.end = device.StateBefore(calls.size());
    return log;
}

::testing::AssertionResult IsQuad(const QuadCall& quad, const Corner (&corners)[4],
                                  float tolerance) {
    const d3d::DeviceCall& draw = *quad.draw;
    if (draw.primitive != D3DPT_TRIANGLESTRIP || draw.vertexFormat != D3DFVF_VERTEX ||
        draw.value != 0 || draw.vertices.size() != 4) {
        return ::testing::AssertionFailure()
               << "not a strip of four D3DVERTEX with flags 0 (primitive " << draw.primitive
               << ", format " << draw.vertexFormat << ", flags " << draw.value << ", "
               << draw.vertices.size() << " vertices)";
    }
    for (size_t i = 0; i < 4; ++i) {
        const D3DVERTEX& v = draw.vertices[i];
        const Corner& c = corners[i];
        const float got[] = {v.x, v.y, v.z, v.tu, v.tv};
        const float want[] = {c.x, c.y, c.z, c.tu, c.tv};
        bool same = v.nx == 0.0f && v.ny == 1.0f && v.nz == 0.0f;
        for (size_t k = 0; k < 5; ++k) {
            same = same && std::fabs(got[k] - want[k]) <= tolerance;
        }
        if (!same) {
            return ::testing::AssertionFailure()
                   << "vertex " << i << " is (" << v.x << ", " << v.y << ", " << v.z << ") n ("
                   << v.nx << ", " << v.ny << ", " << v.nz << ") uv (" << v.tu << ", " << v.tv
                   << "), expected (" << c.x << ", " << c.y << ", " << c.z << ") uv (" << c.tu
                   << ", " << c.tv << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

Matrix Identity() {
    Matrix r{};
    for (int i = 0; i < 4; ++i) {
        r.m[i][i] = 1.0;
    }
    return r;
}

Matrix RotationX(double angle) {
    Matrix r = Identity();
    r.m[1][1] = std::cos(angle);
    r.m[1][2] = std::sin(angle);
    r.m[2][1] = -std::sin(angle);
    r.m[2][2] = std::cos(angle);
    return r;
}

Matrix RotationY(double angle) {
    Matrix r = Identity();
    r.m[0][0] = std::cos(angle);
    r.m[0][2] = -std::sin(angle);
    r.m[2][0] = std::sin(angle);
    r.m[2][2] = std::cos(angle);
    return r;
}

Matrix RotationZ(double angle) {
    Matrix r = Identity();
    r.m[0][0] = std::cos(angle);
    r.m[0][1] = std::sin(angle);
    r.m[1][0] = -std::sin(angle);
    r.m[1][1] = std::cos(angle);
    return r;
}

Matrix Translation(double x, double y, double z) {
    Matrix r = Identity();
    r.m[3][0] = x;
    r.m[3][1] = y;
    r.m[3][2] = z;
    return r;
}

Matrix operator*(const Matrix& a, const Matrix& b) {
    Matrix r{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            for (int k = 0; k < 4; ++k) {
                r.m[i][j] += a.m[i][k] * b.m[k][j];
            }
        }
    }
    return r;
}

::testing::AssertionResult MatrixNear(const D3DMATRIX& actual, const Matrix& expected,
                                      double tolerance) {
    std::ostringstream wrong;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            const double e = expected.m[i][j];
            if (std::fabs(actual.m[i][j] - e) > tolerance * std::fmax(1.0, std::fabs(e))) {
                wrong << " [" << i << "][" << j << "] is " << actual.m[i][j] << ", expected " << e
                      << ";";
            }
        }
    }
    if (wrong.str().empty()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "matrix differs:" << wrong.str();
}

BuildMediaRegistry* SceneLogicTest::registry_ = nullptr;

void SceneLogicTest::SetUpTestSuite() {
    registry_ = new BuildMediaRegistry;
    LoadShow();
}

void SceneLogicTest::TearDownTestSuite() {
    ReleaseShow();
    delete registry_;
    registry_ = nullptr;
}

void SceneLogicTest::SetUp() {
    directDraw = gfx_test::CreateDirectDraw();
    ASSERT_EQ(directDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&direct3D)),
              DD_OK);
    target = gfx_test::CreateSurface(directDraw, 64, 48, ddraw::PixelKind::RGB565,
                                     DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
    ASSERT_EQ(direct3D->CreateDevice(IID_IDirect3DHALDevice, target, &device), D3D_OK);
    recording = d3d::RecordingDevice::From(device);
    ASSERT_NE(recording, nullptr);
    RestoreAllTextures(device);
    device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRENDERSTATE_ZENABLE, TRUE);
    device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    recording->ClearLog();
}

void SceneLogicTest::TearDown() {
    InvalidateAllTextures();
    if (device != nullptr) {
        device->EndScene();
        EXPECT_EQ(device->Release(), 0u);
    }
    if (target != nullptr) {
        target->Release();
    }
    if (direct3D != nullptr) {
        direct3D->Release();
    }
    if (directDraw != nullptr) {
        EXPECT_EQ(directDraw->Release(), 0u);
    }
}

::testing::AssertionResult IsGrey(const D3DMATERIAL7& material, float grey, float tolerance) {
    const D3DCOLORVALUE expected{grey, grey, grey, 1.0f};
    for (const D3DCOLORVALUE* colour : {&material.diffuse, &material.ambient}) {
        if (std::fabs(colour->r - expected.r) > tolerance ||
            std::fabs(colour->g - expected.g) > tolerance ||
            std::fabs(colour->b - expected.b) > tolerance || colour->a != 1.0f) {
            return ::testing::AssertionFailure()
                   << "material (" << material.diffuse.r << ", " << material.diffuse.g << ", "
                   << material.diffuse.b << ", " << material.diffuse.a << ") / ambient ("
                   << material.ambient.r << ", " << material.ambient.g << ", " << material.ambient.b
                   << ", " << material.ambient.a << "), expected grey " << grey;
        }
    }
    return ::testing::AssertionSuccess();
}

} // namespace scene_test
