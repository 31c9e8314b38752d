// The mesh loader over .X text built in the test: the tree it builds, faces in material slots,
// materials, normals, and what it does with files that do not add up.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/mesh_text.h"

using namespace mesh_text;

namespace {

void ExpectNormal(const D3DVERTEX& v, float x, float y, float z) {
    EXPECT_NEAR(v.nx, x, 1e-5f);
    EXPECT_NEAR(v.ny, y, 1e-5f);
    EXPECT_NEAR(v.nz, z, 1e-5f);
}

// Fourteen vertices; 10 to 13 form a square in the plane x = 0 whose fan faces +x.
std::vector<Position> QuadPositions() {
    std::vector<Position> positions = Spread(10);
    positions.insert(positions.end(), {{0, 0, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}});
    return positions;
}

// Ten triangles; face i is (i, i + 1, i + 2), so each face can be recognised by its indices.
std::vector<Face> TenTriangles() {
    std::vector<Face> faces;
    for (uint32_t i = 0; i < 10; ++i) {
        faces.push_back({i, i + 1, i + 2});
    }
    return faces;
}

std::vector<WORD> TrianglesOf(std::initializer_list<uint32_t> faces) {
    std::vector<WORD> indices;
    for (uint32_t i : faces) {
        indices.insert(indices.end(), {WORD(i), WORD(i + 1), WORD(i + 2)});
    }
    return indices;
}

TEST(MeshLoad, AMeshAtTopLevelHangsUnderTheRootAndItsQuadBecomesAFan) {
    MeshFile file;
    ASSERT_EQ(Load(file, XFile("Header { 1; 0; 1; }\n" +
                               Material({1, 1, 1, 1}, "", "Loose") +
                               Mesh("Quad", QuadPositions(), {{10, 11, 12, 13}}))),
              S_OK);
    MeshNode* root = file.root;
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->name, "D3DFile_Root");
    EXPECT_FALSE(root->hasMesh);
    EXPECT_EQ(root->matrix._11, 1.0f);
    EXPECT_EQ(root->matrix._43, 0.0f);
    MeshNode* quad = root->child;
    ASSERT_NE(quad, nullptr);
    EXPECT_EQ(quad->next, nullptr) << "header and material are not nodes";
    EXPECT_STREQ(quad->name, "Quad");
    EXPECT_TRUE(quad->hasMesh);
    EXPECT_EQ(quad->vertexCount, 14u);
    EXPECT_EQ(quad->vertices[12].y, 1.0f);
    EXPECT_EQ(quad->vertices[12].z, 1.0f);
    EXPECT_EQ(Indices(quad), (std::vector<WORD>{10, 11, 12, 10, 12, 13}));
    EXPECT_EQ(quad->materialCount, 1u) << "no material list: every face in slot 0";
    EXPECT_EQ(quad->materials[0].indexCount, 6u);
    EXPECT_FALSE(quad->transparent);

    // Computed normals: the fan's own, and (0, 0, 1) for the ten vertices no triangle uses.
    for (int i = 10; i < 14; ++i) {
        ExpectNormal(quad->vertices[i], 1, 0, 0);
    }
    for (int i = 0; i < 10; ++i) {
        ExpectNormal(quad->vertices[i], 0, 0, 1);
    }
}

TEST(MeshLoad, FramesNestInFileOrderAndTheirTransformsMirrorZ) {
    const std::string inner = Frame("Inner", Mesh("Tri", Spread(3), {{0, 1, 2}}));
    MeshFile file;
    ASSERT_EQ(Load(file, XFile(Frame("Outer", Transform({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12,
                                                         13, 14, 15, 16}) +
                                                  inner + Mesh("Beside", Spread(3), {{0, 1, 2}})) +
                               Frame("Second"))),
              S_OK);
    MeshNode* outer = file.root->child;
    ASSERT_NE(outer, nullptr);
    EXPECT_STREQ(outer->name, "Outer");
    EXPECT_FALSE(outer->hasMesh);
    ASSERT_NE(outer->next, nullptr);
    EXPECT_STREQ(outer->next->name, "Second");
    ASSERT_NE(outer->child, nullptr);
    EXPECT_STREQ(outer->child->name, "Inner");
    EXPECT_STREQ(outer->child->child->name, "Tri");
    ASSERT_NE(outer->child->next, nullptr);
    EXPECT_STREQ(outer->child->next->name, "Beside");

    const float expected[16] = {1, 2, -3, 4, 5, 6, -7, 8, -9, -10, 11, 12, 13, 14, -15, 16};
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(outer->matrix.m[i / 4][i % 4], expected[i]) << "element " << i;
    }
    EXPECT_EQ(outer->child->matrix._43, 0.0f) << "a frame without a transform keeps identity";
    EXPECT_EQ(outer->child->matrix._44, 1.0f);
}

TEST(MeshLoad, FacesAreGroupedBySlotInFaceOrder) {
    const std::vector<uint32_t> faceMaterials = {2, 0, 1, 0, 2, 1, 0, 2, 1, 0};
    MeshFile file;
    ASSERT_EQ(Load(file, XFile(Mesh("M", Spread(12), TenTriangles(),
                                    MaterialList(3, faceMaterials,
                                                 Material({1, 0, 0, 1}) + Material({0, 1, 0, 1}) +
                                                     Material({0, 0, 1, 1}))))),
              S_OK);
    MeshNode* mesh = file.root->child;
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->materialCount, 3u);
    EXPECT_EQ(mesh->materials[0].indexCount, 12u);
    EXPECT_EQ(mesh->materials[1].indexCount, 9u);
    EXPECT_EQ(mesh->materials[2].indexCount, 9u);
    std::vector<WORD> expected = TrianglesOf({1, 3, 6, 9});
    for (WORD i : TrianglesOf({2, 5, 8})) {
        expected.push_back(i);
    }
    for (WORD i : TrianglesOf({0, 4, 7})) {
        expected.push_back(i);
    }
    EXPECT_EQ(Indices(mesh), expected);
    EXPECT_EQ(mesh->materials[1].material.diffuse.g, 1.0f) << "materials in list order";
    EXPECT_EQ(mesh->materials[2].material.diffuse.b, 1.0f);
}

TEST(MeshLoad, OneMaterialOrACountThatDisagreesPutsEveryFaceInSlotZero) {
    const std::vector<WORD> inFileOrder = TrianglesOf({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    const std::vector<uint32_t> oneMaterial = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const std::vector<uint32_t> tooFew = {1, 0, 1}; // three indices for ten faces
    const std::vector<uint32_t> allSecond = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    for (const auto& [count, indices] : {std::pair{1u, oneMaterial}, std::pair{2u, tooFew},
                                         std::pair{1u, allSecond}}) {
        MeshFile file;
        ASSERT_EQ(Load(file, XFile(Mesh("M", Spread(12), TenTriangles(),
                                        MaterialList(count, indices, Material({1, 1, 1, 1}))))),
                  S_OK);
        MeshNode* mesh = file.root->child;
        ASSERT_NE(mesh, nullptr);
        EXPECT_EQ(mesh->materialCount, 1u);
        EXPECT_EQ(mesh->materials[0].indexCount, 30u);
        EXPECT_EQ(Indices(mesh), inFileOrder);
    }
}

TEST(MeshLoad, MaterialsKeepTheirColoursAndAlphaBelowOneMakesTheMeshTransparent) {
    MeshFile file;
    const std::string glass = Material({0.2f, 0.4f, 0.6f, 0.5f}, "", "", 8, {0.1f, 0.2f, 0.3f},
                                       {0.4f, 0.5f, 0.6f});
    ASSERT_EQ(Load(file, XFile(Mesh("Glass", Spread(3), {{0, 1, 2}}, MaterialList(1, {0}, glass)) +
                               Mesh("Solid", Spread(3), {{0, 1, 2}},
                                    MaterialList(1, {0}, Material({1, 1, 1, 1}))))),
              S_OK);
    MeshNode* glassNode = file.FindNode("Glass");
    MeshNode* solidNode = file.FindNode("Solid");
    ASSERT_NE(glassNode, nullptr);
    ASSERT_NE(solidNode, nullptr);
    EXPECT_TRUE(glassNode->transparent);
    EXPECT_FALSE(solidNode->transparent);
    const D3DMATERIAL7& m = glassNode->materials[0].material;
    EXPECT_FLOAT_EQ(m.diffuse.g, 0.4f);
    EXPECT_FLOAT_EQ(m.diffuse.a, 0.5f);
    EXPECT_FLOAT_EQ(m.ambient.b, 0.6f);
    EXPECT_FLOAT_EQ(m.ambient.a, 0.5f);
    EXPECT_FLOAT_EQ(m.power, 8.0f);
    EXPECT_FLOAT_EQ(m.specular.r, 0.1f);
    EXPECT_FLOAT_EQ(m.specular.b, 0.3f);
    EXPECT_FLOAT_EQ(m.emissive.g, 0.5f);
    EXPECT_EQ(m.specular.a, 0.0f);
    EXPECT_EQ(m.emissive.a, 0.0f);
    EXPECT_STREQ(glassNode->materials[0].textureName, "");
}

TEST(MeshLoad, NormalsAndTextureCoordinatesAreTakenOnlyWhenTheyMatchTheVertices) {
    const std::vector<Position> up = {{0, 1, 0}, {0, 1, 0}, {0, 1, 0}};
    const std::vector<Face> faces = {{0, 1, 2}};
    // Three vertices in the plane y = 0, wound so that the computed normal is -y.
    const std::vector<Position> flat = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}};
    MeshFile file;
    ASSERT_EQ(Load(file, XFile(Mesh("Given", flat, faces,
                                    Normals(up, faces) + TextureCoords({{0, 0}, {1, 0}, {0.5f, 1}})) +
                               Mesh("Short", flat, faces,
                                    Normals({{0, 1, 0}, {0, 1, 0}}, faces) +
                                        TextureCoords({{1, 1}, {1, 1}})))),
              S_OK);
    MeshNode* given = file.FindNode("Given");
    MeshNode* shortLists = file.FindNode("Short");
    ASSERT_NE(given, nullptr);
    ASSERT_NE(shortLists, nullptr);
    for (int i = 0; i < 3; ++i) {
        ExpectNormal(given->vertices[i], 0, 1, 0);
        ExpectNormal(shortLists->vertices[i], 0, -1, 0);
        EXPECT_EQ(shortLists->vertices[i].tu, 0.0f);
        EXPECT_EQ(shortLists->vertices[i].tv, 0.0f);
    }
    EXPECT_EQ(given->vertices[2].tu, 0.5f);
    EXPECT_EQ(given->vertices[2].tv, 1.0f);
}

TEST(MeshLoad, ADegenerateTriangleGivesItsVerticesTheDefaultNormal) {
    // Vertices 0, 1, 2 span a proper triangle; 3 repeats vertex 2, so (1, 2, 3) has no area.
    MeshFile file;
    ASSERT_EQ(Load(file, XFile(Mesh("M", {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, 0, 1}, {5, 5, 5}},
                                    {{0, 1, 2}, {1, 2, 3}}))),
              S_OK);
    MeshNode* mesh = file.root->child;
    ASSERT_NE(mesh, nullptr);
    ExpectNormal(mesh->vertices[0], 0, -1, 0);
    for (int i : {1, 2, 3, 4}) {
        ExpectNormal(mesh->vertices[i], 0, 0, 1);
    }
}

// ---- Files that do not add up ----------------------------------------------------------------

TEST(MeshLoad, FacesNamingMissingVerticesOrTooFewCornersAreDropped) {
    MeshFile file;
    ASSERT_EQ(Load(file, XFile(Mesh("M", Spread(4), {{0, 1, 2}, {1, 2, 9}, {3, 2}, {0, 2, 3},
                                                     {0, 1, 2, 3, 70000}}))),
              S_OK);
    MeshNode* mesh = file.root->child;
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(Indices(mesh), (std::vector<WORD>{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(mesh->materials[0].indexCount, 6u);
}

TEST(MeshLoad, FacesWithoutASlotLeaveNoIndicesBehind) {
    // Material 5 is past the list's three materials; 17 is past the sixteen slots; a list of no
    // materials places nothing. Only written indices count, so nothing unwritten is drawn or
    // read for normals.
    struct Case {
        uint32_t materialCount;
        std::vector<uint32_t> faceMaterials;
        std::vector<WORD> indices;
        DWORD slots;
    };
    const std::vector<Face> faces = {{0, 1, 2}, {1, 2, 3}, {2, 3, 4}};
    for (const Case& c : {Case{3, {0, 5, 1}, {0, 1, 2, 2, 3, 4}, 2},
                          Case{20, {17, 0, 17}, {1, 2, 3}, 1}, Case{0, {0, 0, 0}, {}, 0}}) {
        MeshFile file;
        ASSERT_EQ(Load(file, XFile(Mesh("M", Spread(5), faces,
                                        MaterialList(c.materialCount, c.faceMaterials,
                                                     Material({1, 1, 1, 1}))))),
                  S_OK);
        MeshNode* mesh = file.root->child;
        ASSERT_NE(mesh, nullptr);
        EXPECT_EQ(Indices(mesh), c.indices) << c.materialCount << " materials";
        EXPECT_EQ(mesh->materialCount, c.slots);
        if (c.indices.empty()) {
            ExpectNormal(mesh->vertices[1], 0, 0, 1);
        }
    }
}

TEST(MeshLoad, OnlyTheFirstMaterialListPlacesFaces) {
    MeshFile file;
    ASSERT_EQ(Load(file, XFile(Mesh("M", Spread(12), TenTriangles(),
                                    MaterialList(2, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                                                 Material({1, 0, 0, 1}) + Material({0, 1, 0, 1})) +
                                        MaterialList(1, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                                                     Material({0, 0, 1, 0.5f}))))),
              S_OK);
    MeshNode* mesh = file.root->child;
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->indexCount, 30u);
    EXPECT_EQ(mesh->materials[0].indexCount, 27u);
    EXPECT_EQ(mesh->materials[1].indexCount, 3u);
    EXPECT_EQ(mesh->materials[0].material.diffuse.r, 1.0f);
    EXPECT_FALSE(mesh->transparent);
}

TEST(MeshLoad, MeshesBeyondSixteenBitIndicesAreLeftOut) {
    // The device draws at most 65,535 vertices at a time.
    for (int count : {65535, 65536}) {
        std::string positions = std::to_string(count) + ";\n";
        for (int i = 0; i < count; ++i) {
            positions += i + 1 < count ? "0;0;0;," : "0;0;0;;";
        }
        MeshFile file;
        ASSERT_EQ(Load(file, XFile("Mesh Big {\n" + positions + "\n1;3;0,1,65534;;\n}\n" +
                                   Mesh("Small", Spread(3), {{0, 1, 2}}))),
                  S_OK);
        std::vector<MeshNode*> nodes = Nodes(file);
        if (count == 65535) {
            ASSERT_EQ(nodes.size(), 3u);
            EXPECT_EQ(Indices(nodes[1]), (std::vector<WORD>{0, 1, 65534}));
        } else {
            ASSERT_EQ(nodes.size(), 2u);
            EXPECT_STREQ(nodes[1]->name, "Small");
        }
    }
}

TEST(MeshLoad, NamesTooLongForTheFieldLeaveTheirObjectOut) {
    const std::string fits(79, 'a');
    const std::string tooLong(80, 'b');
    MeshFile file;
    ASSERT_EQ(Load(file, XFile(Frame(fits) + Frame(tooLong) +
                               Mesh(tooLong + "m", Spread(3), {{0, 1, 2}}))),
              S_OK);
    std::vector<MeshNode*> nodes = Nodes(file);
    ASSERT_EQ(nodes.size(), 2u);
    EXPECT_EQ(std::string(nodes[1]->name), fits);
}

TEST(MeshLoad, AWalkEndingInAnErrorDestroysTheTreeAndBadFilesLoadNothing) {
    MeshFile file;
    // A mesh that claims three vertices and gives one float: an error after a good frame.
    const HRESULT broken = Load(file, XFile(Frame("Fine") + "Frame Broken { Mesh { 3; 1.0; }"));
    EXPECT_TRUE(FAILED(broken));
    EXPECT_NE(broken, DXFILEERR_NOMOREOBJECTS);
    EXPECT_EQ(file.root, nullptr);

    ASSERT_EQ(Load(file, XFile(Frame("Fine"))), S_OK);
    EXPECT_EQ(Load(file, "xof 0302com 0032"), DXFILEERR_BADFILETYPE);
    EXPECT_EQ(file.root, nullptr) << "a failed load leaves the file empty";
    EXPECT_EQ(file.LoadFromMemory(nullptr, 4), E_INVALIDARG);
    EXPECT_EQ(file.Load(nullptr), E_INVALIDARG);

    ASSERT_EQ(Load(file, XFile("")), S_OK);
    ASSERT_NE(file.root, nullptr) << "an empty file gives a root and nothing else";
    EXPECT_EQ(file.root->child, nullptr);
}

TEST(MeshLoad, HundredsOfThousandsOfSiblingsLoadAndGoWithoutDeepRecursion) {
    std::string objects;
    constexpr int kFrames = 200000;
    objects.reserve(kFrames * 9);
    for (int i = 0; i < kFrames; ++i) {
        objects += "Frame {}\n";
    }
    MeshFile file;
    ASSERT_EQ(Load(file, XFile(objects)), S_OK);
    EXPECT_EQ(Nodes(file).size(), size_t{kFrames} + 1);
    EXPECT_EQ(file.FindNode("nothing"), nullptr);
    EXPECT_EQ(file.DestroyTree(), S_OK);
    EXPECT_EQ(file.root, nullptr);
}

} // namespace
