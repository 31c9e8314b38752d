// Templates: the standard block parsed back, templates declared in files, and the rules for
// defining them.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/xfile/document.h"
#include "xfile_test_helpers.h"

using namespace xfile_test;
using xfile::Primitive;
using xfile::Template;
using xfile::TemplateSet;

namespace {

TemplateSet ParseStandardBlock() {
    TemplateSet set;
    EXPECT_EQ(xfile::ParseTemplateBlock(D3DRM_XTEMPLATES, D3DRM_XTEMPLATE_BYTES, set), S_OK);
    return set;
}

HRESULT RegisterText(IDirectXFile* file, std::string_view text) {
    return file->RegisterTemplates(text.data(), static_cast<DWORD>(text.size()));
}

} // namespace

TEST(XFileTemplates, StandardBlockDeclaresAllThirtyFiveInOrderWithTheTemplateIds) {
    ASSERT_EQ(std::memcmp(D3DRM_XTEMPLATES, "xof 0302bin 0064", 16), 0);
    TemplateSet set = ParseStandardBlock();
    const char* order[] = {"Header",
                           "Vector",
                           "Coords2d",
                           "Matrix4x4",
                           "ColorRGBA",
                           "ColorRGB",
                           "IndexedColor",
                           "Boolean",
                           "Boolean2d",
                           "MaterialWrap",
                           "TextureFilename",
                           "Material",
                           "MeshFace",
                           "MeshFaceWraps",
                           "MeshTextureCoords",
                           "MeshMaterialList",
                           "MeshNormals",
                           "MeshVertexColors",
                           "Mesh",
                           "FrameTransformMatrix",
                           "Frame",
                           "FloatKeys",
                           "TimedFloatKeys",
                           "AnimationKey",
                           "AnimationOptions",
                           "Animation",
                           "AnimationSet",
                           "InlineData",
                           "Url",
                           "ProgressiveMesh",
                           "Guid",
                           "StringProperty",
                           "PropertyBag",
                           "ExternalVisual",
                           "RightHanded"};
    ASSERT_EQ(set.Size(), std::size(order));
    for (size_t i = 0; i < std::size(order); ++i) {
        EXPECT_EQ(set.All()[i]->name, order[i]);
    }
    struct {
        const char* name;
        const GUID& id;
    } ids[] = {{"Header", TID_D3DRMHeader},
               {"Vector", TID_D3DRMVector},
               {"Coords2d", TID_D3DRMCoords2d},
               {"Matrix4x4", TID_D3DRMMatrix4x4},
               {"ColorRGBA", TID_D3DRMColorRGBA},
               {"ColorRGB", TID_D3DRMColorRGB},
               {"Material", TID_D3DRMMaterial},
               {"TextureFilename", TID_D3DRMTextureFilename},
               {"MeshFace", TID_D3DRMMeshFace},
               {"MeshTextureCoords", TID_D3DRMMeshTextureCoords},
               {"MeshMaterialList", TID_D3DRMMeshMaterialList},
               {"MeshNormals", TID_D3DRMMeshNormals},
               {"Mesh", TID_D3DRMMesh},
               {"FrameTransformMatrix", TID_D3DRMFrameTransformMatrix},
               {"Frame", TID_D3DRMFrame}};
    for (const auto& id : ids) {
        const Template* templ = set.Find(id.name);
        ASSERT_NE(templ, nullptr) << id.name;
        EXPECT_EQ(templ->guid, id.id) << id.name;
    }
    // The two families of GUIDs differ in their first bytes; spot-check one written by hand.
    EXPECT_EQ(TID_D3DRMMesh.Data1, 0x3D82AB44u);
    EXPECT_EQ(TID_D3DRMMesh.Data4[7], 0x33);
}

TEST(XFileTemplates, StandardMeshAndMaterialMembers) {
    TemplateSet set = ParseStandardBlock();
    const Template* mesh = set.Find("Mesh");
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->members.size(), 4u);
    EXPECT_EQ(mesh->members[0].primitive, Primitive::Dword);
    EXPECT_EQ(mesh->members[1].type, set.Find("Vector"));
    ASSERT_EQ(mesh->members[1].dimensions.size(), 1u);
    EXPECT_TRUE(mesh->members[1].dimensions[0].fromMember);
    EXPECT_EQ(mesh->members[1].dimensions[0].memberIndex, 0u);
    EXPECT_EQ(mesh->members[3].name, "faces");
    EXPECT_EQ(mesh->members[3].type, set.Find("MeshFace"));
    EXPECT_EQ(mesh->members[3].dimensions[0].memberIndex, 2u);
    EXPECT_EQ(mesh->childRule, xfile::ChildRule::Open);

    const Template* material = set.Find("Material");
    ASSERT_NE(material, nullptr);
    ASSERT_EQ(material->members.size(), 4u);
    EXPECT_EQ(material->members[0].type, set.Find("ColorRGBA"));
    EXPECT_EQ(material->members[1].primitive, Primitive::Float);
    EXPECT_EQ(material->members[2].type, set.Find("ColorRGB"));
    EXPECT_EQ(material->members[3].name, "emissiveColor");
    EXPECT_EQ(material->childRule, xfile::ChildRule::Open);

    const Template* list = set.Find("MeshMaterialList");
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->AllowsChild("Material"));
    EXPECT_FALSE(list->AllowsChild("Mesh"));
    EXPECT_EQ(set.Find("Matrix4x4")->members[0].dimensions[0].constant, 16u);
    EXPECT_EQ(set.Find("TextureFilename")->members[0].primitive, Primitive::String);
    EXPECT_EQ(set.Find("Header")->childRule, xfile::ChildRule::Closed);
}

TEST(XFileTemplates, TemplateDeclaredInTheFileLaysOutItsObjects) {
    constexpr const char* FILE_TEXT = R"(xof 0302txt 0064
template Sparkle {
  <01234567-89AB-CDEF-0123-456789ABCDEF>
  WORD count;
  array Vector points[count];
  STRING label;
  array SWORD grid[2][count];
  DOUBLE weight;
  [...]
}
Sparkle Twinkle {
  <FEDCBA98-7654-3210-FEDC-BA9876543210>
  2;
  1.0; 2.0; 3.0;, 4.0; 5.0; 6.0;;
  "star";
  -1, 2, -3, 4;
  0.25;
  Frame { }
}
)";
    IDirectXFile* file = NewFileWithStandardTemplates();
    IDirectXFileEnumObject* enumObject = nullptr;
    ASSERT_EQ(OpenBytes(file, TextBytes(FILE_TEXT), &enumObject), DXFILE_OK);
    IDirectXFileData* sparkle = nullptr;
    ASSERT_EQ(enumObject->GetNextDataObject(&sparkle), DXFILE_OK);
    const GUID* type = nullptr;
    sparkle->GetType(&type);
    EXPECT_EQ(type->Data1, 0x01234567u);
    GUID id{};
    ASSERT_EQ(sparkle->GetId(&id), DXFILE_OK);
    EXPECT_EQ(id.Data1, 0xFEDCBA98u);
    EXPECT_EQ(id.Data4[0], 0xFE);

    DWORD size = 0;
    void* data = nullptr;
    ASSERT_EQ(sparkle->GetData(nullptr, &size, &data), DXFILE_OK);
    ASSERT_EQ(size, 2u + 24 + 8 + 2 * 2 * 2 + 8);
    const auto* bytes = static_cast<const uint8_t*>(data);
    EXPECT_EQ(bytes[0] | (bytes[1] << 8), 2);
    float y = 0;
    std::memcpy(&y, bytes + 2 + 4, 4);
    EXPECT_EQ(y, 2.0f);
    const char* label = nullptr;
    std::memcpy(&label, bytes + 26, sizeof label);
    EXPECT_STREQ(label, "star");
    int16_t grid[4];
    std::memcpy(grid, bytes + 34, sizeof grid);
    EXPECT_EQ(grid[0], -1);
    EXPECT_EQ(grid[3], 4);
    double weight = 0;
    std::memcpy(&weight, bytes + 42, 8);
    EXPECT_EQ(weight, 0.25);

    ASSERT_EQ(sparkle->GetData("label", &size, &data), DXFILE_OK);
    EXPECT_EQ(size, sizeof(char*));
    EXPECT_EQ(data, bytes + 26);
    sparkle->Release();
    enumObject->Release();

    // A template declared in one file is that file's own.
    EXPECT_EQ(OpenBytes(file, TextBytes("xof 0302txt 0032 Sparkle { 0; \"\"; 0.0; }"), &enumObject),
              DXFILE_OK);
    EXPECT_EQ(WalkAll(enumObject), DXFILEERR_NOTEMPLATE);
    enumObject->Release();
    file->Release();
}

TEST(XFileTemplates, RepeatedDefinitionsAreAcceptedOnlyWhenTheLayoutIsTheSame) {
    // Exporters copy the standard templates into their files; member names may differ.
    EXPECT_EQ(LoadResult(TextBytes(R"(xof 0302txt 0032
template Vector { <3D82AB5E-62DA-11CF-AB39-0020AF71E433> FLOAT x; FLOAT y; FLOAT z; }
template MeshFace {
 <3D82AB5F-62DA-11cf-ab39-0020af71e433>
 DWORD count; array DWORD indices[count];
}
Vector { 1; 2; 3; }
)")),
              DXFILEERR_NOMOREOBJECTS);
    // Another GUID or another layout under a known name is an error.
    EXPECT_EQ(LoadResult(TextBytes(R"(xof 0302txt 0032
template Vector { <00000000-62DA-11CF-AB39-0020AF71E433> FLOAT x; FLOAT y; FLOAT z; })")),
              DXFILEERR_BADTYPE);
    EXPECT_EQ(LoadResult(TextBytes(R"(xof 0302txt 0032
template Vector { <3D82AB5E-62DA-11CF-AB39-0020AF71E433> FLOAT x; FLOAT y; DOUBLE z; })")),
              DXFILEERR_BADTYPE);
    EXPECT_EQ(LoadResult(TextBytes(R"(xof 0302txt 0032
template Twice { <11111111-2222-3333-4444-555555555555> DWORD a; }
template Twice { <11111111-2222-3333-4444-555555555555> DWORD a; DWORD b; })")),
              DXFILEERR_BADTYPE);
}

TEST(XFileTemplates, MalformedDefinitionsAreRefused) {
    struct Case {
        const char* body;
        HRESULT expected;
    } cases[] = {
        {"template T { <11111111-2222-3333-4444-555555555555> Unknown u; }", DXFILEERR_NOTEMPLATE},
        {"template T { <11111111-2222-3333-4444-555555555555> T inner; }", DXFILEERR_NOTEMPLATE},
        {"template T { <11111111-2222-3333-4444-555555555555> array DWORD a[n]; DWORD n; }",
         DXFILEERR_BADARRAYSIZE},
        {"template T { <11111111-2222-3333-4444-555555555555> DWORD n; array DWORD a[m]; }",
         DXFILEERR_BADARRAYSIZE},
        {"template T { <11111111-2222-3333-4444-555555555555> FLOAT n; array DWORD a[n]; }",
         DXFILEERR_BADARRAYSIZE},
        {"template T { <11111111-2222-3333-4444-555555555555> array DWORD a[2]; "
         "array DWORD b[a]; }",
         DXFILEERR_BADARRAYSIZE},
        {"template T { <11111111-2222-3333-4444-555555555555> DWORD a; DWORD a; }",
         DXFILEERR_PARSEERROR},
        {"template T { <11111111-2222-3333-4444-555555555555> array DWORD a; }",
         DXFILEERR_PARSEERROR},
        {"template T { <11111111-2222-3333-4444-555555555555> DWORD a }", DXFILEERR_PARSEERROR},
        {"template T { <11111111-2222-3333-4444-555555555555> DWORD a;", DXFILEERR_PARSEERROR},
        {"template { DWORD a; }", DXFILEERR_PARSEERROR},
    };
    IDirectXFile* file = NewFileWithStandardTemplates();
    for (const Case& c : cases) {
        std::string block = std::string("xof 0302txt 0032\n") + c.body;
        EXPECT_EQ(RegisterText(file, block), c.expected) << c.body;
    }
    // Nothing of a refused block is registered, not even the templates before the fault.
    EXPECT_EQ(RegisterText(file, "xof 0302txt 0032 template Good { <11111111-2222-3333-4444-"
                                 "555555555555> DWORD a; } template Bad { X x; }"),
              DXFILEERR_NOTEMPLATE);
    IDirectXFileEnumObject* enumObject = nullptr;
    ASSERT_EQ(OpenBytes(file, TextBytes("xof 0302txt 0032 Good { 1; }"), &enumObject), S_OK);
    EXPECT_EQ(WalkAll(enumObject), DXFILEERR_NOTEMPLATE);
    enumObject->Release();
    // A template block holds templates only.
    EXPECT_EQ(RegisterText(file, "xof 0302txt 0032 Vector { 1; 2; 3; }"), DXFILEERR_PARSEERROR);
    file->Release();
}

TEST(XFileTemplates, TemplatesWithinTemplatesAreLimitedInDepth) {
    auto chain = [](int levels) {
        std::string text = "xof 0302txt 0032\ntemplate L0 { <11111111-2222-3333-4444-555555555555> "
                           "DWORD v; }\n";
        for (int i = 1; i < levels; ++i) {
            text += "template L" + std::to_string(i) +
                    " { <11111111-2222-3333-4444-555555555555> L" + std::to_string(i - 1) +
                    " inner; }\n";
        }
        text += "L" + std::to_string(levels - 1) + " { 7; }\n";
        return TextBytes(text);
    };
    EXPECT_EQ(LoadResult(chain(64)), DXFILEERR_NOMOREOBJECTS);
    EXPECT_EQ(LoadResult(chain(65)), DXFILEERR_PARSEERROR);
}
