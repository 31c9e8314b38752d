// Drawing and querying a loaded tree on the recording device: batches per slot, world matrices of
// nested frames, the transparent pass, the states put back, and the walk the queries share.
#include <gtest/gtest.h>

#include "math/render_records.h"
#include "support/graphics_test_support.h"
#include "support/mesh_text.h"
#include "support/recording_device.h"

using d3d::DeviceMethod;
using d3d::RecordingDevice;
using namespace mesh_text;

namespace {

class MeshRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        directDraw = gfx_test::CreateDirectDraw();
        ASSERT_EQ(directDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&direct3D)),
                  DD_OK);
        target = gfx_test::CreateSurface(directDraw, 64, 48, ddraw::PixelKind::RGB565,
                                         DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
        ASSERT_EQ(direct3D->CreateDevice(IID_IDirect3DHALDevice, target, &device), D3D_OK);
        recording = RecordingDevice::From(device);
        ASSERT_NE(recording, nullptr);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        recording->ClearLog();
    }
    void TearDown() override {
        file.DestroyTree();
        if (device != nullptr) {
            device->EndScene();
            EXPECT_EQ(device->Release(), 0u);
        }
        EXPECT_EQ(target->Release(), 0u);
        EXPECT_EQ(direct3D->Release(), 0u);
        EXPECT_EQ(directDraw->Release(), 0u);
    }

    host::ScopedDrivers drivers{test_drivers::TypicalFakeDrivers()};
    IDirectDraw7* directDraw = nullptr;
    IDirect3D7* direct3D = nullptr;
    IDirectDrawSurface7* target = nullptr;
    IDirect3DDevice7* device = nullptr;
    RecordingDevice* recording = nullptr;
    MeshFile file;
};

void ExpectMatrixNear(const D3DMATRIX& actual, const D3DMATRIX& expected) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(actual.m[i / 4][i % 4], expected.m[i / 4][i % 4], 1e-4f) << "element " << i;
    }
}

std::string Triangle(const std::string& name, const std::string& children = "") {
    return Mesh(name, Spread(3), {{0, 1, 2}}, children);
}

TEST_F(MeshRenderTest, AFileWithoutATreeTouchesNothing) {
    EXPECT_EQ(file.Render(device), S_OK);
    EXPECT_EQ(Load(file, "not an x file"), DXFILEERR_BADFILETYPE);
    EXPECT_EQ(file.Render(device), S_OK);
    EXPECT_TRUE(recording->Calls().empty());
    EXPECT_EQ(file.ScaleMeshes(2), S_OK);
    EXPECT_EQ(file.FindNode("x"), nullptr);
}

TEST_F(MeshRenderTest, EachSlotWithFacesIsOneBatchInSlotOrder) {
    // Faces 0 and 2 use material 0, faces 1 and 3 material 2; slot 1 gets none.
    ASSERT_EQ(Load(file, XFile(Mesh("M", Spread(6), {{0, 1, 2}, {1, 2, 3}, {2, 3, 4}, {3, 4, 5}},
                                    MaterialList(3, {0, 2, 0, 2},
                                                 Material({1, 0, 0, 1}) + Material({0, 1, 0, 1}) +
                                                     Material({0, 0, 1, 1}))))),
              S_OK);
    MeshNode* mesh = file.FindNode("M");
    ASSERT_NE(mesh, nullptr);
    D3DMATERIAL7 grey;
    FillMaterial(grey, 0.25f, 0.25f, 0.25f, 1);
    device->SetMaterial(&grey);
    recording->ClearLog();

    ASSERT_EQ(file.Render(device), S_OK);
    ASSERT_EQ(recording->DrawCount(), 2u);
    for (size_t n = 0; n < 2; ++n) {
        const d3d::DeviceCall& draw = recording->Draw(n);
        EXPECT_EQ(draw.method, DeviceMethod::DrawIndexedPrimitive);
        EXPECT_EQ(draw.primitive, D3DPT_TRIANGLELIST);
        EXPECT_EQ(draw.vertexFormat, D3DFVF_VERTEX);
        EXPECT_EQ(draw.vertices.size(), 6u);
        EXPECT_EQ(draw.value, 0u) << "flags";
        EXPECT_EQ(recording->StateAtDraw(n).material.diffuse.r, 0.25f)
            << "slots draw with the caller's material, not their own";
    }
    EXPECT_EQ(recording->Draw(0).indices, (std::vector<WORD>{0, 1, 2, 2, 3, 4}));
    EXPECT_EQ(recording->Draw(1).indices, (std::vector<WORD>{1, 2, 3, 3, 4, 5}));
    EXPECT_EQ(recording->Draw(1).indices, std::vector<WORD>(mesh->indices + 6, mesh->indices + 12))
        << "the second batch starts right after slot 0's indices";
    EXPECT_EQ(recording->CountOf(DeviceMethod::SetMaterial), 1u) << "only the restore";
}

TEST_F(MeshRenderTest, ASlotBeyondWhatOneDrawTakesIsDrawnInBatches) {
    // 65,536 triangles in one slot; a draw takes at most 65,535.
    constexpr int FACES = 65536;
    std::string faces = std::to_string(FACES) + ";\n";
    for (int i = 0; i < FACES; ++i) {
        faces += i + 1 < FACES ? "3;0,1,2;," : "3;0,1,2;;";
    }
    ASSERT_EQ(Load(file, XFile("Mesh Dense {\n3;0;0;0;,1;0;0;,0;0;1;;\n" + faces + "\n}\n")), S_OK);
    ASSERT_EQ(file.Render(device), S_OK);
    ASSERT_EQ(recording->DrawCount(), 2u);
    EXPECT_EQ(recording->Draw(0).result, D3D_OK);
    EXPECT_EQ(recording->Draw(0).indices.size(), 3u * 65535);
    EXPECT_EQ(recording->Draw(1).result, D3D_OK);
    EXPECT_EQ(recording->Draw(1).indices.size(), 3u);
}

TEST_F(MeshRenderTest, NestedFramesDrawUnderTheirMatricesInFrontOfTheWorld) {
    // R turns and scales, T moves: the products differ with the order.
    const std::array<float, 16> r = {0, 2, 0, 0, -2, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1};
    const std::array<float, 16> t = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1};
    ASSERT_EQ(Load(file, XFile(Frame("R", Transform(r) + Frame("T", Transform(t) + Triangle("In")) +
                                              Triangle("Beside")) +
                               Triangle("Top"))),
              S_OK);
    D3DMATRIX world;
    BuildRotationYMatrix(world, 0.7f);
    world._41 = 100;
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
    recording->ClearLog();

    ASSERT_EQ(file.Render(device), S_OK);
    ASSERT_EQ(recording->DrawCount(), 3u);
    const D3DMATRIX& rLoaded = file.FindNode("R")->matrix;
    const D3DMATRIX& tLoaded = file.FindNode("T")->matrix;
    D3DMATRIX rw, trw;
    MultiplyMatrices(rw, rLoaded, world);
    MultiplyMatrices(trw, tLoaded, rw);
    ExpectMatrixNear(recording->StateAtDraw(0).world, trw);
    // A sibling draws under its parent's matrix, not its sibling's.
    ExpectMatrixNear(recording->StateAtDraw(1).world, rw);
    ExpectMatrixNear(recording->StateAtDraw(2).world, world);
    D3DMATRIX after;
    device->GetTransform(D3DTRANSFORMSTATE_WORLD, &after);
    ExpectMatrixNear(after, world);
}

TEST_F(MeshRenderTest, TransparentMeshesFollowInABlendedPassAndEveryStateIsPutBack) {
    ASSERT_EQ(Load(file, XFile(Triangle("Glass", MaterialList(2, {1},
                                                              Material({1, 1, 1, 1}) +
                                                                  Material({1, 1, 1, 0.5f}))) +
                               Triangle("Solid"))),
              S_OK);
    IDirectDrawSurface7* texture =
        gfx_test::CreateSurface(directDraw, 8, 8, ddraw::PixelKind::RGB565);
    D3DMATERIAL7 grey;
    FillMaterial(grey, 0.5f, 0.5f, 0.5f, 0.75f);
    D3DMATRIX world;
    BuildRotationZMatrix(world, 0.3f);
    device->SetMaterial(&grey);
    device->SetTexture(0, texture);
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
    // The scenes draw additively.
    device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    const ULONG references = gfx_test::RefCount(texture);
    recording->ClearLog();

    ASSERT_EQ(file.Render(device), S_OK);
    ASSERT_EQ(recording->DrawCount(), 2u);
    const d3d::DeviceState opaque = recording->StateAtDraw(0);
    const d3d::DeviceState blended = recording->StateAtDraw(1);
    EXPECT_EQ(recording->Draw(0).indices, Indices(file.FindNode("Solid")));
    EXPECT_EQ(recording->Draw(1).indices, Indices(file.FindNode("Glass")))
        << "every slot of a transparent mesh, whatever its own alpha, goes to the second pass";
    EXPECT_EQ(opaque.renderStates[D3DRENDERSTATE_SRCBLEND], D3DBLEND_ONE);
    EXPECT_EQ(opaque.renderStates[D3DRENDERSTATE_DESTBLEND], D3DBLEND_ONE);
    EXPECT_EQ(blended.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE], TRUE);
    EXPECT_EQ(blended.renderStates[D3DRENDERSTATE_SRCBLEND], D3DBLEND_SRCALPHA);
    EXPECT_EQ(blended.renderStates[D3DRENDERSTATE_DESTBLEND], D3DBLEND_INVSRCALPHA);
    for (const d3d::DeviceState& state : {opaque, blended}) {
        EXPECT_EQ(state.textures[0], texture);
        EXPECT_EQ(state.material.diffuse.a, 0.75f);
    }

    const d3d::DeviceState after = recording->StateBefore(recording->Calls().size());
    EXPECT_EQ(after.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE], TRUE);
    EXPECT_EQ(after.renderStates[D3DRENDERSTATE_SRCBLEND], D3DBLEND_ONE);
    EXPECT_EQ(after.renderStates[D3DRENDERSTATE_DESTBLEND], D3DBLEND_ONE);
    EXPECT_EQ(after.textures[0], texture);
    EXPECT_EQ(after.material.diffuse.r, 0.5f);
    EXPECT_EQ(after.material.diffuse.a, 0.75f);
    ExpectMatrixNear(after.world, world);
    EXPECT_EQ(gfx_test::RefCount(texture), references) << "the saved texture's reference dropped";

    // With no texture set, none is put back and nothing is released.
    device->SetTexture(0, nullptr);
    ASSERT_EQ(file.Render(device), S_OK);
    EXPECT_EQ(recording->StateBefore(recording->Calls().size()).textures[0], nullptr);
    EXPECT_EQ(gfx_test::RefCount(texture), references - 1);
    texture->Release();
}

// ---- Queries --------------------------------------------------------------------------------

TEST_F(MeshRenderTest, FindNodeWalksParentsBeforeChildrenAndIgnoresCase) {
    ASSERT_EQ(Load(file, XFile(Frame("Top", Frame("Twin", Triangle("Deep"))) + Triangle("Twin"))),
              S_OK);
    EXPECT_EQ(file.FindNode(nullptr), file.root);
    EXPECT_EQ(file.FindNode("D3DFILE_ROOT"), file.root);
    MeshNode* twin = file.FindNode("tWIN");
    ASSERT_NE(twin, nullptr);
    EXPECT_FALSE(twin->hasMesh) << "the frame inside Top comes before the mesh after Top";
    EXPECT_EQ(file.FindNode("deep"), twin->child);
    EXPECT_EQ(file.FindNode("Twi"), nullptr);

    std::vector<std::string> visited;
    file.EnumerateNodes(
        [](MeshNode* node, void* context) {
            auto* names = static_cast<std::vector<std::string>*>(context);
            names->push_back(node->name);
            return names->size() == 4 ? 1 : 2;
        },
        &visited);
    EXPECT_EQ(visited, (std::vector<std::string>{"D3DFile_Root", "Top", "Twin", "Deep"}));
}

TEST_F(MeshRenderTest, VertexAndIndexArraysAreHandedOutInPlace) {
    ASSERT_EQ(Load(file, XFile(Frame("F", Mesh("Quad", Spread(4), {{0, 1, 2, 3}})))), S_OK);
    D3DVERTEX* vertices = reinterpret_cast<D3DVERTEX*>(1);
    DWORD count = 99;
    EXPECT_EQ(file.GetMeshVertices("f", &vertices, &count), S_OK);
    EXPECT_EQ(vertices, nullptr);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(file.GetMeshVertices("none", &vertices, &count), E_FAIL);

    ASSERT_EQ(file.GetMeshVertices("QUAD", &vertices, &count), S_OK);
    EXPECT_EQ(vertices, file.FindNode("Quad")->vertices);
    EXPECT_EQ(count, 4u);
    WORD* indices = nullptr;
    ASSERT_EQ(file.GetMeshIndices("Quad", &indices, &count), S_OK);
    EXPECT_EQ(count, 6u);
    EXPECT_EQ(indices[5], 3u);
    EXPECT_EQ(file.GetMeshIndices("none", &indices, &count), E_FAIL);

    // A change made through the array is what the next draw sends.
    vertices[1].y = 42;
    ASSERT_EQ(file.Render(device), S_OK);
    ASSERT_EQ(recording->DrawCount(), 1u);
    EXPECT_EQ(recording->Draw(0).vertices[1].y, 42.0f);
}

TEST_F(MeshRenderTest, ScalingMovesPositionsOnly) {
    const std::vector<Face> faces = {{0, 1, 2}};
    ASSERT_EQ(
        Load(file, XFile(Frame("F", Mesh("A", {{1, 2, 3}, {4, 5, 6}, {0, 1, 0}}, faces,
                                         Normals({{0, 1, 0}, {0, 1, 0}, {0, 1, 0}}, faces) +
                                             TextureCoords({{0.5f, 0.25f}, {1, 1}, {0, 0}}))) +
                         Triangle("B"))),
        S_OK);
    const std::vector<D3DVERTEX> before(file.FindNode("B")->vertices,
                                        file.FindNode("B")->vertices + 3);
    ASSERT_EQ(file.ScaleMeshes(2), S_OK);
    const D3DVERTEX& a = file.FindNode("A")->vertices[1];
    EXPECT_EQ(a.x, 8.0f);
    EXPECT_EQ(a.y, 10.0f);
    EXPECT_EQ(a.z, 12.0f);
    EXPECT_EQ(a.ny, 1.0f);
    EXPECT_EQ(a.nx, 0.0f);
    EXPECT_EQ(a.tu, 1.0f);
    EXPECT_EQ(file.FindNode("A")->vertices[0].tv, 0.25f);
    const D3DVERTEX* b = file.FindNode("B")->vertices;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(b[i].y, before[i].y * 2);
        EXPECT_EQ(b[i].nx, before[i].nx);
        EXPECT_EQ(b[i].nz, before[i].nz);
    }
}

} // namespace
