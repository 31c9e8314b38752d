// The mesh loader over .X text built in the test: the tree it builds, faces in material slots,
// materials, normals, and what it does with files that do not add up.
#include <gtest/gtest.h>

#include "support/mesh_text.h"

using namespace mesh_text;

namespace {

void ExpectNormal(const D3DVERTEX& v, float x, float y, float z) {
    EXPECT_NEAR(v.nx, x, 1e-5f);
    EXPECT_NEAR(v.ny, y, 1e-5f);
    EXPECT_NEAR(v.nz, z, 1e-5f);
}

// Ten triangles; face i is (i, i + 1, i + 2), so each face can be recognised by its indices.
const std::vector<Face> TEN_FACES = {{0, 1, 2}, {1, 2, 3}, {2, 3, 4}, {3, 4, 5},  {4, 5, 6},
                                     {5, 6, 7}, {6, 7, 8}, {7, 8, 9}, {8, 9, 10}, {9, 10, 11}};

std::vector<WORD> FacesInOrder(std::initializer_list<WORD> faces) {
    std::vector<WORD> indices;
    for (WORD i : faces) {
        indices.insert(indices.end(), {i, WORD(i + 1), WORD(i + 2)});
    }
    return indices;
}

MeshNode* LoadOne(MeshFile& file, const std::string& objects) {
    EXPECT_EQ(Load(file, XFile(objects)), S_OK);
    return file.root != nullptr ? file.root->child : nullptr;
}

TEST(MeshLoad, AMeshAtTopLevelHangsUnderTheRootAndItsQuadBecomesAFan) {
    // Vertices 10 to 13 form a square in the plane x = 0 whose fan faces +x; 0 to 9 are unused.
    std::vector<Position> positions = Spread(10);
    positions.insert(positions.end(), {{0, 0, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}});
    MeshFile file;
    MeshNode* quad = LoadOne(file, "Header { 1; 0; 1; }\n" + Material({1, 1, 1, 1}, "", "Loose") +
                                       Mesh("Quad", positions, {{10, 11, 12, 13}}));
    ASSERT_NE(quad, nullptr);
    EXPECT_STREQ(file.root->name, "D3DFile_Root");
    EXPECT_FALSE(file.root->hasMesh);
    EXPECT_EQ(quad->next, nullptr) << "header and material are not nodes";
    EXPECT_STREQ(quad->name, "Quad");
    EXPECT_TRUE(quad->hasMesh);
    EXPECT_EQ(quad->vertexCount, 14u);
    EXPECT_EQ(quad->vertices[12].z, 1.0f);
    EXPECT_EQ(Indices(quad), (std::vector<WORD>{10, 11, 12, 10, 12, 13}));
    EXPECT_EQ(quad->materialCount, 1u) << "no material list: every face in slot 0";
    EXPECT_EQ(quad->materials[0].indexCount, 6u);
    for (int i = 0; i < 14; ++i) {
        i < 10 ? ExpectNormal(quad->vertices[i], 0, 0, 1)
               : ExpectNormal(quad->vertices[i], 1, 0, 0);
    }
}

TEST(MeshLoad, FramesNestInFileOrderAndTheirTransformsMirrorZ) {
    const std::string tri = Mesh("Tri", Spread(3), {{0, 1, 2}});
    MeshFile file;
    ASSERT_EQ(Load(file, XFile(Frame("Outer", Transform({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13,
                                                         14, 15, 16}) +
                                                  Frame("Inner", tri) + tri) +
                               Frame("Second"))),
              S_OK);
    std::vector<std::string> names;
    for (MeshNode* node : Nodes(file)) {
        names.push_back(node->name);
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"D3DFile_Root", "Outer", "Inner", "Tri", "Tri", "Second"}));
    const MeshNode* outer = file.root->child;
    const float expected[16] = {1, 2, -3, 4, 5, 6, -7, 8, -9, -10, 11, 12, 13, 14, -15, 16};
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(outer->matrix.m[i / 4][i % 4], expected[i]) << "element " << i;
    }
    EXPECT_EQ(outer->child->matrix._43, 0.0f) << "a frame without a transform keeps identity";
}

TEST(MeshLoad, FacesAreGroupedBySlotInFaceOrderUnlessTheListIsOfOneMaterialOrDisagrees) {
    const std::string three =
        Material({1, 0, 0, 1}) + Material({0, 1, 0, 1}) + Material({0, 0, 1, 1});
    MeshFile file;
    MeshNode* mesh = LoadOne(file, Mesh("M", Spread(12), TEN_FACES,
                                        MaterialList(3, {2, 0, 1, 0, 2, 1, 0, 2, 1, 0}, three)));
    ASSERT_NE(mesh, nullptr);
    std::vector<WORD> expected = FacesInOrder({1, 3, 6, 9, 2, 5, 8, 0, 4, 7});
    EXPECT_EQ(Indices(mesh), expected);
    EXPECT_EQ(mesh->materialCount, 3u);
    EXPECT_EQ(mesh->materials[0].indexCount, 12u);
    EXPECT_EQ(mesh->materials[2].indexCount, 9u);
    EXPECT_EQ(mesh->materials[1].material.diffuse.g, 1.0f) << "materials in list order";

    // One material (even if the faces name another), or three indices for ten faces.
    const std::vector<WORD> inFileOrder = FacesInOrder({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    for (const std::string& list : {MaterialList(1, std::vector<uint32_t>(10, 1), three),
                                    MaterialList(3, {1, 0, 2}, three)}) {
        mesh = LoadOne(file, Mesh("M", Spread(12), TEN_FACES, list));
        ASSERT_NE(mesh, nullptr);
        EXPECT_EQ(Indices(mesh), inFileOrder);
        EXPECT_EQ(mesh->materialCount, 1u);
    }
}

TEST(MeshLoad, MaterialsKeepTheirColoursAndAlphaBelowOneMakesTheMeshTransparent) {
    const std::string glass =
        Material({0.2f, 0.4f, 0.6f, 0.5f}, "", "", 8, {0.1f, 0.2f, 0.3f}, {0.4f, 0.5f, 0.6f});
    MeshFile file;
    ASSERT_EQ(Load(file, XFile(Mesh("Glass", Spread(3), {{0, 1, 2}}, MaterialList(1, {0}, glass)) +
                               Mesh("Solid", Spread(3), {{0, 1, 2}},
                                    MaterialList(1, {0}, Material({1, 1, 1, 1}))))),
              S_OK);
    EXPECT_TRUE(file.FindNode("Glass")->transparent);
    EXPECT_FALSE(file.FindNode("Solid")->transparent);
    const D3DMATERIAL7& m = file.FindNode("Glass")->materials[0].material;
    EXPECT_FLOAT_EQ(m.diffuse.a, 0.5f);
    EXPECT_FLOAT_EQ(m.ambient.g, 0.4f);
    EXPECT_FLOAT_EQ(m.power, 8.0f);
    EXPECT_FLOAT_EQ(m.specular.b, 0.3f);
    EXPECT_FLOAT_EQ(m.emissive.g, 0.5f);
    EXPECT_EQ(m.specular.a, 0.0f);
    EXPECT_EQ(m.emissive.a, 0.0f);
}

TEST(MeshLoad, NormalsAndCoordinatesAreTakenOnlyWhenTheyMatchTheVerticesElseNormalsAreComputed) {
    const std::vector<Face> faces = {{0, 1, 2}};
    // Wound so that the computed normal is -y.
    const std::vector<Position> flat = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}};
    MeshFile file;
    ASSERT_EQ(Load(file, XFile(Mesh("Given", flat, faces,
                                    Normals({{0, 1, 0}, {0, 1, 0}, {0, 1, 0}}, faces) +
                                        TextureCoords({{0, 0}, {1, 0}, {0.5f, 1}})) +
                               Mesh("Short", flat, faces,
                                    Normals({{0, 1, 0}, {0, 1, 0}}, faces) +
                                        TextureCoords({{1, 1}, {1, 1}})) +
                               // (1, 2, 3) has no area: its vertices get the default normal.
                               Mesh("Flat", {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, 0, 1}},
                                    {{0, 1, 2}, {1, 2, 3}}))),
              S_OK);
    const MeshNode* given = file.FindNode("Given");
    const MeshNode* shortLists = file.FindNode("Short");
    for (int i = 0; i < 3; ++i) {
        ExpectNormal(given->vertices[i], 0, 1, 0);
        ExpectNormal(shortLists->vertices[i], 0, -1, 0);
        EXPECT_EQ(shortLists->vertices[i].tu, 0.0f);
    }
    EXPECT_EQ(given->vertices[2].tu, 0.5f);
    EXPECT_EQ(given->vertices[2].tv, 1.0f);
    const MeshNode* degenerate = file.FindNode("Flat");
    ExpectNormal(degenerate->vertices[0], 0, -1, 0);
    for (int i : {1, 2, 3}) {
        ExpectNormal(degenerate->vertices[i], 0, 0, 1);
    }
}

// ---- Files that do not add up ----------------------------------------------------------------

TEST(MeshLoad, FacesThatCannotBeDrawnOrFoundNoSlotLeaveNoIndicesBehind) {
    struct Case {
        const char* what;
        std::string children;
        std::vector<WORD> indices;
        DWORD slots;
    };
    const std::string one = Material({1, 1, 1, 1});
    const std::vector<Face> faces = {{0, 1, 2}, {1, 2, 3}, {2, 3, 4}};
    for (const Case& c :
         {Case{"material past the count", MaterialList(3, {0, 5, 1}, one), {0, 1, 2, 2, 3, 4}, 2},
          Case{"material past the slots", MaterialList(20, {17, 0, 17}, one), {1, 2, 3}, 1},
          Case{"no materials", MaterialList(0, {0, 0, 0}, one), {}, 0},
          // The first list placed every face; the second must not again.
          Case{"second list",
               MaterialList(2, {1, 0, 0}, one + one) + MaterialList(1, {0, 0, 0}, one),
               {1, 2, 3, 2, 3, 4, 0, 1, 2},
               2}}) {
        MeshFile file;
        MeshNode* mesh = LoadOne(file, Mesh("M", Spread(5), faces, c.children));
        ASSERT_NE(mesh, nullptr);
        EXPECT_EQ(Indices(mesh), c.indices) << c.what;
        EXPECT_EQ(mesh->materialCount, c.slots) << c.what;
    }
    // Vertex 9 and 70000 do not exist; two corners make no triangle.
    MeshFile file;
    MeshNode* mesh = LoadOne(
        file, Mesh("M", Spread(4), {{0, 1, 2}, {1, 2, 9}, {3, 2}, {0, 2, 3}, {0, 1, 2, 3, 70000}}));
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(Indices(mesh), (std::vector<WORD>{0, 1, 2, 0, 2, 3}));
}

TEST(MeshLoad, MeshesTooLargeForOneDrawAndNamesTooLongForTheFieldAreLeftOut) {
    // The device draws at most 65,535 vertices at a time.
    for (int count : {65535, 65536}) {
        std::string positions = std::to_string(count) + ";\n";
        for (int i = 0; i < count; ++i) {
            positions += i + 1 < count ? "0;0;0;," : "0;0;0;;";
        }
        MeshFile file;
        ASSERT_EQ(Load(file, XFile("Mesh Big {\n" + positions + "\n1;3;0,1,65534;;\n}\n" +
                                   Frame(std::string(79, 'a')) + Frame(std::string(80, 'b')))),
                  S_OK);
        std::vector<MeshNode*> nodes = Nodes(file);
        ASSERT_EQ(nodes.size(), count == 65535 ? 3u : 2u);
        EXPECT_EQ(std::string(nodes.back()->name), std::string(79, 'a'));
    }
}

TEST(MeshLoad, AWalkEndingInAnErrorDestroysTheTreeAndBadFilesLoadNothing) {
    MeshFile file;
    // A mesh that claims three vertices and gives one float, after a good frame.
    const HRESULT broken = Load(file, XFile(Frame("Fine") + "Frame Broken { Mesh { 3; 1.0; }"));
    EXPECT_TRUE(FAILED(broken));
    EXPECT_NE(broken, DXFILEERR_NOMOREOBJECTS);
    EXPECT_EQ(file.root, nullptr);

    ASSERT_EQ(Load(file, XFile(Frame("Fine"))), S_OK);
    EXPECT_EQ(Load(file, "xof 0302com 0032"), DXFILEERR_BADFILETYPE);
    EXPECT_EQ(file.root, nullptr) << "a failed load leaves the file empty";
    EXPECT_EQ(file.Load(nullptr), E_INVALIDARG);
}

TEST(MeshLoad, HundredsOfThousandsOfSiblingsLoadAndGoWithoutDeepRecursion) {
    std::string objects;
    for (int i = 0; i < 200000; ++i) {
        objects += "Frame {}\n";
    }
    MeshFile file;
    ASSERT_EQ(Load(file, XFile(objects)), S_OK);
    EXPECT_EQ(Nodes(file).size(), 200001u);
    EXPECT_EQ(file.DestroyTree(), S_OK);
    EXPECT_EQ(file.root, nullptr);
}

} // namespace
