// One small model, written as text, as binary with 32-bit floats and as binary with 64-bit
// floats, must read to the same objects and the same GetData bytes; and the layouts the mesh
// loader relies on must hold.
#include <gtest/gtest.h>

#include <cstring>

#include "xfile_test_helpers.h"

using namespace xfile_test;

namespace {

// A frame with a transform, a mesh of a quad and a triangle, a material list with a reference to
// a top-level material and an inline one with a texture, normals and texture coordinates.
constexpr const char* MODEL_TEXT = R"(xof 0302txt 0032
// written the way common exporters write it
Header { 1; 0; 1; }

Material Shiny {
  1.0; 0.5; 0.25; 1.0;;
  8.0;
  1.0; 1.0; 1.0;;
  0.0; 0.0; 0.0;;
}

Frame Root {
  FrameTransformMatrix {
    1.0, 0.0, 0.0, 0.0,
    0.0, 1.0, 0.0, 0.0,
    0.0, 0.0, 1.0, 0.0,
    0.0, 0.0, 5.0, 1.0;;
  }
  Mesh Quad {
    5;
    0.0; 0.0; 0.0;,
    1.0; 0.0; 0.0;,
    1.0; 1.0; 0.0;,
    0.0; 1.0; 0.0;,
    0.5; 2.0; -1.5;;
    2;
    4; 0, 1, 2, 3;,
    3; 2, 3, 4;;
    MeshMaterialList {
      2;
      2;
      0,
      1;;
      { Shiny }
      Material {
        0.2; 0.4; 0.6; 0.5;;
        2.0;
        0.0; 0.0; 0.0;;
        0.1; 0.1; 0.1;;
        TextureFilename { "gleam.tga"; }
      }
    }
    MeshNormals {
      5;
      0.0; 0.0; 1.0;, 0.0; 0.0; 1.0;, 0.0; 0.0; 1.0;, 0.0; 0.0; 1.0;, 0.0; 1.0; 0.0;;
      2;
      4; 0, 1, 2, 3;,
      3; 2, 3, 4;;
    }
    MeshTextureCoords {
      5;
      0.0; 0.0;, 1.0; 0.0;, 1.0; 1.0;, 0.0; 1.0;, 0.5; 0.5;;
    }
  }
}
)";

// The same model in the binary encoding. Lists are split and merged the way writers do it, not
// along member boundaries: the reader must carry on across them.
std::vector<uint8_t> ModelBinary(std::string_view header, bool wideStringTerminator) {
    BinaryWriter w(header);
    w.Name("Header").Open().Integers({1, 0, 1}).Close();
    w.Name("Material").Name("Shiny").Open();
    w.Floats({1.0, 0.5, 0.25, 1.0, 8.0, 1.0}).Floats({1.0, 1.0, 0.0, 0.0, 0.0}).Close();
    w.Name("Frame").Name("Root").Open();
    w.Name("FrameTransformMatrix").Open();
    w.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 5, 1}).Close();
    w.Name("Mesh").Name("Quad").Open().Integers({5});
    w.Floats({0, 0, 0, 1, 0, 0, 1}).Floats({1, 0, 0, 1, 0, 0.5, 2.0, -1.5});
    w.Integers({2, 4, 0, 1}).Integers({2, 3, 3, 2, 3, 4});
    w.Name("MeshMaterialList").Open().Integers({2, 2, 0, 1});
    w.Open().Name("Shiny").Close();
    w.Name("Material").Open().Floats({0.2, 0.4, 0.6, 0.5, 2.0, 0, 0, 0, 0.1, 0.1, 0.1});
    w.Name("TextureFilename").Open().String("gleam.tga", wideStringTerminator).Close();
    w.Close().Close();
    w.Name("MeshNormals").Open().Integers({5});
    w.Floats({0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 1, 0});
    w.Integers({2, 4, 0, 1, 2, 3, 3, 2, 3, 4}).Close();
    w.Name("MeshTextureCoords").Open().Integers({5});
    w.Floats({0, 0, 1, 0, 1, 1, 0, 1, 0.5, 0.5}).Close();
    w.Close().Close();
    return w.Bytes();
}

template <class T> T ReadAt(const void* data, size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const uint8_t*>(data) + offset, sizeof value);
    return value;
}

// Walks to the model's mesh: the second top-level object's second child.
IDirectXFileData* FindMesh(IDirectXFileEnumObject* enumObject) {
    IDirectXFileData* object = nullptr;
    for (int i = 0; i < 3; ++i) {
        if (object != nullptr) {
            object->Release();
        }
        if (FAILED(enumObject->GetNextDataObject(&object))) {
            return nullptr;
        }
    }
    IDirectXFileObject* child = nullptr;
    IDirectXFileData* mesh = nullptr;
    for (int i = 0; i < 2 && SUCCEEDED(object->GetNextObject(&child)); ++i) {
        if (i == 1) {
            child->QueryInterface(IID_IDirectXFileData, (void**)&mesh);
        }
        child->Release();
    }
    object->Release();
    return mesh;
}

} // namespace

TEST(XFileModel, TextAndBothBinaryFloatSizesReadToIdenticalData) {
    std::string text = DumpFile(TextBytes(MODEL_TEXT));
    std::string binary32 = DumpFile(ModelBinary("xof 0302bin 0032", false));
    std::string binary64 = DumpFile(ModelBinary("xof 0303bin 0064", true));
    EXPECT_EQ(text.find("failed"), std::string::npos) << text;
    EXPECT_NE(text.find("\"gleam.tga\""), std::string::npos) << text;
    EXPECT_NE(text.find("ref 'Shiny' -> 'Shiny'"), std::string::npos) << text;
    EXPECT_EQ(text, binary32);
    EXPECT_EQ(text, binary64);
}

TEST(XFileModel, MeshDataHasTheTemplateLayoutTheLoaderReads) {
    IDirectXFile* file = NewFileWithStandardTemplates();
    ASSERT_NE(file, nullptr);
    IDirectXFileEnumObject* enumObject = nullptr;
    ASSERT_EQ(OpenBytes(file, ModelBinary("xof 0302bin 0064", false), &enumObject), DXFILE_OK);
    IDirectXFileData* mesh = FindMesh(enumObject);
    ASSERT_NE(mesh, nullptr);

    const GUID* type = nullptr;
    ASSERT_EQ(mesh->GetType(&type), DXFILE_OK);
    EXPECT_EQ(*type, TID_D3DRMMesh);
    EXPECT_EQ(NameOf(mesh), "Quad");

    DWORD size = 0;
    void* data = nullptr;
    ASSERT_EQ(mesh->GetData(nullptr, &size, &data), DXFILE_OK);
    // nVertices, 5 vectors, nFaces, {4; 4 indices}, {3; 3 indices}.
    ASSERT_EQ(size, 4u + 5 * 12 + 4 + (4 + 16) + (4 + 12));
    EXPECT_EQ(ReadAt<DWORD>(data, 0), 5u);
    EXPECT_EQ(ReadAt<float>(data, 4 + 4 * 12 + 4), 2.0f);  // vertex 4, y
    EXPECT_EQ(ReadAt<float>(data, 4 + 4 * 12 + 8), -1.5f); // vertex 4, z
    EXPECT_EQ(ReadAt<DWORD>(data, 64), 2u);
    EXPECT_EQ(ReadAt<DWORD>(data, 68), 4u);
    EXPECT_EQ(ReadAt<DWORD>(data, 68 + 4 + 12), 3u);
    EXPECT_EQ(ReadAt<DWORD>(data, 68 + 20 + 12), 4u); // last index of the triangle

    // A member by name starts where the whole layout says it does.
    DWORD facesSize = 0;
    void* faces = nullptr;
    ASSERT_EQ(mesh->GetData("faces", &facesSize, &faces), DXFILE_OK);
    EXPECT_EQ(facesSize, 36u);
    EXPECT_EQ(faces, static_cast<uint8_t*>(data) + 68);
    EXPECT_EQ(mesh->GetData("nothing", &facesSize, &faces), DXFILEERR_NOTFOUND);

    // Children in file order: material list, normals, texture coordinates; then the end.
    const GUID* expected[] = {&TID_D3DRMMeshMaterialList, &TID_D3DRMMeshNormals,
                              &TID_D3DRMMeshTextureCoords};
    IDirectXFileObject* child = nullptr;
    for (const GUID* want : expected) {
        ASSERT_EQ(mesh->GetNextObject(&child), DXFILE_OK);
        IDirectXFileData* childData = nullptr;
        ASSERT_EQ(child->QueryInterface(IID_IDirectXFileData, (void**)&childData), S_OK);
        childData->GetType(&type);
        EXPECT_EQ(*type, *want);
        if (*want == TID_D3DRMMeshMaterialList) {
            ASSERT_EQ(childData->GetData(nullptr, &size, &data), DXFILE_OK);
            ASSERT_EQ(size, 16u);
            EXPECT_EQ(ReadAt<DWORD>(data, 12), 1u); // face 1 uses material 1
        }
        childData->Release();
        child->Release();
    }
    EXPECT_EQ(mesh->GetNextObject(&child), DXFILEERR_NOMOREOBJECTS);
    EXPECT_EQ(child, nullptr);

    mesh->Release();
    enumObject->Release();
    file->Release();
}

TEST(XFileModel, MaterialsInlineAndByReferenceAndTheirTextureName) {
    IDirectXFile* file = NewFileWithStandardTemplates();
    IDirectXFileEnumObject* enumObject = nullptr;
    ASSERT_EQ(OpenBytes(file, TextBytes(MODEL_TEXT), &enumObject), DXFILE_OK);
    IDirectXFileData* mesh = FindMesh(enumObject);
    ASSERT_NE(mesh, nullptr);
    IDirectXFileObject* child = nullptr;
    ASSERT_EQ(mesh->GetNextObject(&child), DXFILE_OK);
    IDirectXFileData* list = nullptr;
    ASSERT_EQ(child->QueryInterface(IID_IDirectXFileData, (void**)&list), S_OK);
    child->Release();

    // First material: a reference, which is not a data object, resolving to the top-level one.
    IDirectXFileObject* first = nullptr;
    ASSERT_EQ(list->GetNextObject(&first), DXFILE_OK);
    IDirectXFileData* notData = nullptr;
    EXPECT_EQ(first->QueryInterface(IID_IDirectXFileData, (void**)&notData), E_NOINTERFACE);
    EXPECT_EQ(notData, nullptr);
    IDirectXFileDataReference* reference = nullptr;
    ASSERT_EQ(first->QueryInterface(IID_IDirectXFileDataReference, (void**)&reference), S_OK);
    IDirectXFileData* shiny = nullptr;
    ASSERT_EQ(reference->Resolve(&shiny), DXFILE_OK);
    const GUID* type = nullptr;
    shiny->GetType(&type);
    EXPECT_EQ(*type, TID_D3DRMMaterial);
    DWORD size = 0;
    void* data = nullptr;
    ASSERT_EQ(shiny->GetData(nullptr, &size, &data), DXFILE_OK);
    // Face colour (4 floats), power, specular (3), emissive (3).
    ASSERT_EQ(size, 44u);
    EXPECT_EQ(ReadAt<float>(data, 4), 0.5f);
    EXPECT_EQ(ReadAt<float>(data, 16), 8.0f);
    shiny->Release();
    reference->Release();
    first->Release();

    // Second material: inline, its first child the texture file name as a char* pointer.
    IDirectXFileObject* second = nullptr;
    ASSERT_EQ(list->GetNextObject(&second), DXFILE_OK);
    IDirectXFileData* material = nullptr;
    ASSERT_EQ(second->QueryInterface(IID_IDirectXFileData, (void**)&material), S_OK);
    ASSERT_EQ(material->GetData(nullptr, &size, &data), DXFILE_OK);
    EXPECT_EQ(ReadAt<float>(data, 12), 0.5f);
    EXPECT_EQ(ReadAt<float>(data, 32), 0.1f);
    IDirectXFileObject* textureObject = nullptr;
    ASSERT_EQ(material->GetNextObject(&textureObject), DXFILE_OK);
    IDirectXFileData* texture = nullptr;
    ASSERT_EQ(textureObject->QueryInterface(IID_IDirectXFileData, (void**)&texture), S_OK);
    texture->GetType(&type);
    EXPECT_EQ(*type, TID_D3DRMTextureFilename);
    ASSERT_EQ(texture->GetData(nullptr, &size, &data), DXFILE_OK);
    ASSERT_EQ(size, sizeof(char*));
    EXPECT_STREQ(ReadAt<const char*>(data, 0), "gleam.tga");

    // Everything handed out stays readable after the walk and the file object are gone.
    mesh->Release();
    list->Release();
    material->Release();
    second->Release();
    textureObject->Release();
    enumObject->Release();
    file->Release();
    ASSERT_EQ(texture->GetData(nullptr, &size, &data), DXFILE_OK);
    EXPECT_STREQ(ReadAt<const char*>(data, 0), "gleam.tga");
    EXPECT_EQ(texture->Release(), 0u);
}

TEST(XFileModel, SeparatorsAsWritersVaryThemReadTheSame) {
    auto meshFile = [](std::string_view body) {
        return TextBytes(std::string("xof 0302txt 0032\nMesh Quad {\n") + std::string(body) +
                         "\n}\n");
    };
    std::string canonical =
        DumpFile(meshFile("3; 0.0; 0.0; 0.0;, 1.0; 0.0; 0.0;, 1.0; 1.0; 0.0;; 1; 3; 0, 1, 2;;;"));
    ASSERT_EQ(canonical.find("failed"), std::string::npos) << canonical;
    const char* variants[] = {
        // No ',' between elements.
        "3; 0.0; 0.0; 0.0; 1.0; 0.0; 0.0; 1.0; 1.0; 0.0;; 1; 3; 0; 1; 2;;",
        // ',' everywhere.
        "3, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 1.0, 1.0, 0.0, 1, 3, 0, 1, 2,",
        // Doubled and tripled separators, and a record closed by ";;" then ",".
        "3;; 0.0;; 0.0;; 0.0;;, 1.0; 0.0; 0.0;;, 1.0; 1.0; 0.0;;; 1;; 3;; 0,, 1,, 2;;;;",
        // Spaces only, integers where floats stand, and a line comment in between.
        "3 0 0 0 1 0 0 # the second vertex ends here\n 1 1 0 1 3 0 1 2",
        // Exponents, signs and fractions without a leading digit.
        "3; 0e0; -0; +0.0;, 1.0E0; .0; 0.;, 10e-1; 0.1e1; 0;; 1; 3; 0, 1, 2;;",
        // Whole numbers written as floats where DWORDs stand.
        "3.0; 0.0; 0.0; 0.0;, 1.0; 0.0; 0.0;, 1.0; 1.0; 0.0;; 1.0; 3; 0.0, 1, 2;;",
    };
    for (const char* body : variants) {
        EXPECT_EQ(DumpFile(meshFile(body)), canonical) << body;
    }
}

TEST(XFileModel, BinaryStringTerminatorsOfBothWidthsAndMergedLists) {
    // Both terminator widths, and one list running across two objects' members and a nested
    // record boundary, read the same as the plain form.
    auto file = [](bool wide) {
        BinaryWriter w;
        w.Name("Material").Open().Floats({1, 1, 1, 1, 2, 0, 0, 0, 0, 0, 0});
        w.Name("TextureFilename").Open().String("a\\b.bmp", wide).Close();
        w.Name("TextureFilename").Open().String("", wide).Close();
        w.Close();
        return w.Bytes();
    };
    std::string narrow = DumpFile(file(false));
    EXPECT_EQ(narrow.find("failed"), std::string::npos) << narrow;
    EXPECT_NE(narrow.find("\"a\\b.bmp\""), std::string::npos) << narrow;
    EXPECT_NE(narrow.find("\"\""), std::string::npos) << narrow;
    EXPECT_EQ(DumpFile(file(true)), narrow);

    BinaryWriter w;
    w.Name("Vector").Open().Integers({}).Floats({1}).Floats({}).Floats({2, 3}).Close();
    BinaryWriter v;
    v.Name("Vector").Open().Floats({1, 2, 3}).Close();
    EXPECT_EQ(DumpFile(w.Bytes()), DumpFile(v.Bytes()));
}
