// The mesh loader over real files: the media folder retry, textures named by materials entering
// and leaving the texture store, and the show's own three models.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "mkmedia/models.h"
#include "platform/win32/kernel.h"
#include "support/image_files.h"
#include "support/media_folder_test.h"
#include "support/mesh_text.h"
#include "texture/texture_store.h"

using namespace mesh_text;
namespace fs = std::filesystem;

namespace {

class MeshFilesTest : public test_files::MediaFolderTest {
protected:
    static void Write(const fs::path& path, const std::string& text) {
        test_images::WriteFile(path.string(), test_images::Bytes(text.begin(), text.end()));
    }
    static test_images::Bytes SmallTga() {
        test_images::TgaLayout layout;
        layout.width = 2;
        layout.height = 2;
        layout.body = test_images::Bytes(12, 0x80);
        return test_images::BuildTga(layout);
    }
};

std::string Triangle(const std::string& name, const std::string& children = "") {
    return Mesh(name, Spread(3), {{0, 1, 2}}, children);
}

TEST_F(MeshFilesTest, AFileIsLookedForByItsNameThenInTheMediaFolder) {
    Write(media_ / "model.x", XFile(Triangle("FromMedia")));
    MeshFile file;
    ASSERT_EQ(file.Load("model.x"), S_OK);
    ASSERT_NE(file.FindNode("FromMedia"), nullptr);

    Write(work_ / "model.x", XFile(Triangle("FromWork")));
    ASSERT_EQ(file.Load("model.x"), S_OK);
    EXPECT_NE(file.FindNode("FromWork"), nullptr) << "the working directory comes first";
    EXPECT_EQ(file.FindNode("FromMedia"), nullptr) << "a load replaces the tree";

    EXPECT_EQ(file.Load("absent.x"), DXFILEERR_FILENOTFOUND);
    EXPECT_EQ(file.root, nullptr);

    // Search paths hold 511 characters. Padded with slashes, the media folder plus "model.x"
    // fills them exactly; "model.xyz" does not fit, and cut short it would name model.x.
    fs::remove(work_ / "model.x");
    const std::string samples = (root_ / "samples").string();
    const size_t folderLength = 511 - std::string("model.x").size();
    SetSamplesPath(samples + std::string(folderLength - 14 - samples.size(), '/'));
    ASSERT_EQ(std::string(GetMediaPath()).size(), folderLength);
    EXPECT_EQ(file.Load("model.x"), S_OK);
    EXPECT_EQ(file.Load("model.xyz"), DXFILEERR_FILENOTFOUND);
    EXPECT_EQ(file.root, nullptr);
}

TEST_F(MeshFilesTest, TexturesNamedByMaterialsLiveInTheStoreAsLongAsTheirMesh) {
    InMedia("glow.tga", SmallTga());
    InWork("plain.tga", SmallTga());
    InWork("late.tga", SmallTga());
    const std::string materials =
        // A named top-level material, used through a reference.
        Material({1, 1, 1, 1}, TextureFilename("glow.tga"), "Shared") +
        Frame("F", Triangle("A", MaterialList(
                                     4, {0},
                                     "{ Shared }\n" +
                                         Material({1, 1, 1, 1}, TextureFilename("missing.tga")) +
                                         // Only the first child names a texture.
                                         Material({1, 1, 1, 1}, "Header { 1; 0; 1; }\n" +
                                                                    TextureFilename("late.tga")) +
                                         // Used by no face, still a slot.
                                         Material({1, 1, 1, 1}, TextureFilename("plain.tga")))));
    Write(work_ / "textured.x", XFile(materials));
    MeshFile file;
    ASSERT_EQ(file.Load("textured.x"), S_OK);
    MeshNode* mesh = file.FindNode("a");
    ASSERT_NE(mesh, nullptr);
    EXPECT_STREQ(mesh->materials[0].textureName, "glow.tga");
    EXPECT_STREQ(mesh->materials[1].textureName, "missing.tga") << "kept without a store entry";
    EXPECT_STREQ(mesh->materials[2].textureName, "");
    EXPECT_STREQ(mesh->materials[3].textureName, "plain.tga");
    EXPECT_EQ(mesh->materialCount, 1u);
    EXPECT_NE(FindTexture("glow.tga"), nullptr) << "found in the media folder";
    EXPECT_NE(FindTexture("plain.tga"), nullptr);
    EXPECT_EQ(FindTexture("missing.tga"), nullptr);
    EXPECT_EQ(FindTexture("late.tga"), nullptr);

    EXPECT_EQ(file.DestroyTree(), S_OK);
    EXPECT_EQ(FindTexture("glow.tga"), nullptr);
    EXPECT_EQ(FindTexture("plain.tga"), nullptr) << "every slot's texture leaves with the mesh";
    EXPECT_EQ(textureStore.head, nullptr);

    // A name too long for the slot is not kept cut short: destroying the mesh would then remove
    // the texture that the cut name happens to name.
    const std::string cut = std::string(75, 'x') + ".tga";
    test_images::WriteFile((work_ / cut).string(), SmallTga());
    ASSERT_EQ(AddTexture(cut.c_str(), 0, 0), S_OK);
    Write(work_ / "long.x",
          XFile(Triangle(
              "M", MaterialList(1, {0}, Material({1, 1, 1, 1}, TextureFilename(cut + "-more"))))));
    ASSERT_EQ(file.Load("long.x"), S_OK);
    EXPECT_STREQ(file.FindNode("M")->materials[0].textureName, "");
    file.DestroyTree();
    EXPECT_NE(FindTexture(cut.c_str()), nullptr);
}

// Every path the program hands to the file system while a test watches.
std::vector<std::string> opened;
void RecordOpened(const char* path) {
    opened.emplace_back(path);
}

// A model is untrusted: the texture names of its materials reach only the working directory and
// the media folder, with subfolders below them; a name that would leave them opens nothing and
// is missing, though the file it names exists and would load.
TEST_F(MeshFilesTest, TextureNamesInAModelStayInsideTheWorkingDirectoryAndTheMediaFolder) {
    test_images::WriteFile((root_ / "outside.tga").string(), SmallTga());
    fs::create_directories(work_ / "sub");
    fs::create_directories(media_ / "deep");
    InWork("sub/near.tga", SmallTga());
    InMedia("deep/far.tga", SmallTga());
    const std::string absolute = (root_ / "outside.tga").string();
    const std::vector<std::string> refused = {absolute,
                                              "../outside.tga",
                                              "../../../outside.tga",
                                              "sub/../../outside.tga",
                                              "sub\\..\\..\\outside.tga",
                                              "\\" + absolute.substr(1)};
    const std::vector<std::string> allowed = {"sub/near.tga", "deep\\far.tga", "./sub/near.tga"};
    std::string materials;
    std::vector<uint32_t> faceMaterials;
    for (const std::string& name : refused) {
        materials += Material({1, 1, 1, 1}, TextureFilename(name));
    }
    for (const std::string& name : allowed) {
        materials += Material({1, 1, 1, 1}, TextureFilename(name));
    }
    Write(work_ / "hostile.x",
          XFile(Triangle("M",
                         MaterialList(uint32_t(refused.size() + allowed.size()), {0}, materials))));

    opened.clear();
    SetFileOpenWatcher(RecordOpened);
    MeshFile file;
    const HRESULT loaded = file.Load("hostile.x");
    SetFileOpenWatcher(nullptr);
    ASSERT_EQ(loaded, S_OK);

    for (const std::string& name : refused) {
        EXPECT_EQ(FindTexture(name.c_str()), nullptr) << name;
    }
    for (const std::string& name : allowed) {
        EXPECT_NE(FindTexture(name.c_str()), nullptr) << name;
    }
    EXPECT_STREQ(file.FindNode("M")->materials[1].textureName, "../outside.tga")
        << "kept, as for any missing texture";
    const std::string work = fs::canonical(work_).string() + "/";
    const std::string media = fs::canonical(media_).string() + "/";
    ASSERT_FALSE(opened.empty());
    for (const std::string& path : opened) {
        const std::string full = fs::weakly_canonical(fs::absolute(path)).string();
        EXPECT_TRUE(full.rfind(work, 0) == 0 || full.rfind(media, 0) == 0) << path;
    }
}

// ---- The show's models ------------------------------------------------------------------------

size_t CountNodes(const mkmedia::Frame& frame) {
    size_t count = 1 + frame.meshes.size();
    for (const mkmedia::Frame& child : frame.children) {
        count += CountNodes(child);
    }
    return count;
}

TEST_F(MeshFilesTest, TheShowsModelsLoadWhole) {
    // The build's media folder, as the registry names it for the installed program.
    SetSamplesPath(fs::path(LUMENFALL_MEDIA_DIR).parent_path().parent_path().string());
    const struct {
        const char* file;
        mkmedia::Model model;
    } models[] = {{"object.1", mkmedia::BuildOrrery()},
                  {"object.2", mkmedia::BuildSpark()},
                  {"object.3", mkmedia::BuildBlade()}};
    for (const auto& [name, model] : models) {
        SCOPED_TRACE(name);
        MeshFile file;
        ASSERT_EQ(file.Load(name), S_OK);
        size_t expectedNodes = 1 + model.meshes.size();
        for (const mkmedia::Frame& frame : model.frames) {
            expectedNodes += CountNodes(frame);
        }
        const std::vector<MeshNode*> nodes = Nodes(file);
        EXPECT_EQ(nodes.size(), expectedNodes);
        size_t triangles = 0;
        for (const MeshNode* node : nodes) {
            EXPECT_EQ(node->indexCount % 3, 0u);
            triangles += node->indexCount / 3;
            for (DWORD i = 0; i < node->indexCount; ++i) {
                ASSERT_LT(node->indices[i], node->vertexCount) << node->name;
            }
            for (DWORD i = 0; i < node->vertexCount; ++i) {
                const D3DVERTEX& v = node->vertices[i];
                EXPECT_NEAR(v.nx * v.nx + v.ny * v.ny + v.nz * v.nz, 1.0f, 1e-3f);
            }
        }
        EXPECT_EQ(triangles, mkmedia::CountTriangles(model));
        EXPECT_GT(triangles, 50u);
        if (std::string(name) == "object.1") {
            EXPECT_NE(FindTexture("gleam.tga"), nullptr) << "named by a material, in the media";
        }
    }
    EXPECT_EQ(FindTexture("gleam.tga"), nullptr) << "gone with the last mesh that named it";
}

} // namespace
