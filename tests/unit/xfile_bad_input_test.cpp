// Bad input: every case ends in an error (or the stated result), never a crash, a hang, an access
// out of bounds or a leak (the sanitizer build checks the last three).
#include <gtest/gtest.h>

#include <string>

#include "xfile_test_helpers.h"

using namespace xfile_test;

namespace {

std::vector<uint8_t> Text(std::string_view body) {
    return TextBytes(std::string("xof 0302txt 0032\n") + std::string(body));
}

HRESULT OpenResult(const std::vector<uint8_t>& bytes) {
    IDirectXFile* file = NewFileWithStandardTemplates();
    IDirectXFileEnumObject* enumObject = nullptr;
    HRESULT hr = OpenBytes(file, bytes, &enumObject);
    if (enumObject != nullptr) {
        enumObject->Release();
    }
    file->Release();
    return hr;
}

} // namespace

TEST(XFileBadInput, HeadersOfAnotherKind) {
    EXPECT_EQ(OpenResult({}), DXFILEERR_BADFILETYPE);
    EXPECT_EQ(OpenResult(TextBytes("xof 0302txt 003")), DXFILEERR_BADFILETYPE);
    EXPECT_EQ(OpenResult(TextBytes("xaf 0302txt 0032")), DXFILEERR_BADFILETYPE);
    EXPECT_EQ(OpenResult(TextBytes("xof 0402txt 0032")), DXFILEERR_BADFILEVERSION);
    EXPECT_EQ(OpenResult(TextBytes("xof 0301txt 0032")), DXFILEERR_BADFILEVERSION);
    EXPECT_EQ(OpenResult(TextBytes("xof 0302com 0032")), DXFILEERR_BADFILETYPE);
    EXPECT_EQ(OpenResult(TextBytes("xof 0302TXT 0032")), DXFILEERR_BADFILETYPE);
    EXPECT_EQ(OpenResult(TextBytes("xof 0302txt 0016")), DXFILEERR_BADFILEFLOATSIZE);
    EXPECT_EQ(OpenResult(TextBytes("xof 0302bin 64  ")), DXFILEERR_BADFILEFLOATSIZE);
    // Both minor versions and both float sizes open; a header alone holds no objects.
    EXPECT_EQ(LoadResult(TextBytes("xof 0303txt 0064")), DXFILEERR_NOMOREOBJECTS);
    EXPECT_EQ(LoadResult(TextBytes("xof 0302bin 0032")), DXFILEERR_NOMOREOBJECTS);
}

TEST(XFileBadInput, CompressedFilesAreRefusedWhateverTheyHold) {
    // Whatever follows the header (a size of gigabytes, blocks over 32 KiB, a missing "CK",
    // sizes past the end): the layout is unconfirmed, so nothing of it is read.
    BinaryWriter gigabytes("xof 0302bzip0032");
    gigabytes.Raw32(0xFFFFFFF0u).Raw32(0xFFFF8000u);
    EXPECT_EQ(OpenResult(gigabytes.Bytes()), DXFILEERR_BADFILECOMPRESSIONTYPE);
    EXPECT_EQ(OpenResult(TextBytes("xof 0302tzip0032\x20\0\0\0\x10\0\x08\0CKxx")),
              DXFILEERR_BADFILECOMPRESSIONTYPE);
    EXPECT_EQ(OpenResult(TextBytes("xof 0303tzip0064")), DXFILEERR_BADFILECOMPRESSIONTYPE);
}

TEST(XFileBadInput, TextThatNeverEnds) {
    EXPECT_EQ(LoadResult(Text("TextureFilename { \"no closing quote; }")), DXFILEERR_PARSEERROR);
    EXPECT_EQ(LoadResult(Text("Frame { <3D82AB46-62DA-11CF-AB39-0020AF71E433 }")),
              DXFILEERR_PARSEERROR);
    EXPECT_EQ(LoadResult(Text("Frame { <3D82AB46-62DA-11CF-AB39-0020AF71E433")),
              DXFILEERR_PARSEERROR);
    EXPECT_EQ(LoadResult(Text("Frame { <not-a-guid> }")), DXFILEERR_PARSEERROR);
    EXPECT_EQ(LoadResult(Text("Frame A { // the comment runs to the end")), DXFILEERR_PARSEERROR);
    EXPECT_EQ(LoadResult(Text("Frame A { } # a comment to the end is fine at the top")),
              DXFILEERR_NOMOREOBJECTS);
    EXPECT_EQ(LoadResult(Text("Frame A {")), DXFILEERR_PARSEERROR);
    EXPECT_EQ(LoadResult(Text("Vector { 1.0; 2.0;")), DXFILEERR_PARSEERROR);
    std::string megabyteName(2 << 20, 'q');
    EXPECT_EQ(LoadResult(Text("Frame " + megabyteName + " {}")), DXFILEERR_PARSEERROR);
    EXPECT_EQ(LoadResult(Text("Frame " + std::string(1024, 'q') + " {}")), DXFILEERR_NOMOREOBJECTS);
    EXPECT_EQ(LoadResult(Text("Frame A { } @")), DXFILEERR_PARSEERROR);
    EXPECT_EQ(LoadResult(Text("Vector { 1e; 2; 3; }")), DXFILEERR_PARSEERROR);
    EXPECT_EQ(LoadResult(Text("Vector { 1e999; 2; 3; }")), DXFILEERR_BADVALUE);
    EXPECT_EQ(LoadResult(Text("Vector { 1; 2; 3Frame; }")), DXFILEERR_PARSEERROR);
}

TEST(XFileBadInput, CountsLargerThanTheFileCanHold) {
    // Refused before anything is allocated or looped over.
    EXPECT_EQ(LoadResult(Text("Mesh { 4294967295; 1.0; 2.0; 3.0;; 0;; }")), DXFILEERR_BADARRAYSIZE);
    EXPECT_EQ(LoadResult(Text("Mesh { 2; 1; 2; 3;, 4; 5; 6;; 1; 4294967295; 0, 1;;; }")),
              DXFILEERR_BADARRAYSIZE);
    EXPECT_EQ(LoadResult(Text("Mesh { 3; 1; 2; 3;, 4; 5; 6;; 0;; }")), DXFILEERR_PARSEERROR);
    BinaryWriter binary;
    binary.Name("Mesh").Open().Integers({0x7FFFFFFF}).Floats({1, 2, 3}).Close();
    EXPECT_EQ(LoadResult(binary.Bytes()), DXFILEERR_BADARRAYSIZE);
    // A count of elements that hold no values is no threat: they take no input and no bytes.
    EXPECT_EQ(LoadResult(Text(R"(
template Nothing { <11111111-0000-0000-0000-000000000001> array DWORD none[0]; }
template Many { <11111111-0000-0000-0000-000000000002> DWORD n; array Nothing all[n][n]; }
Many { 4294967295; }
)")),
              DXFILEERR_NOMOREOBJECTS);
    // Dimensions whose product overflows.
    EXPECT_EQ(LoadResult(Text(R"(
template Huge { <11111111-0000-0000-0000-000000000003>
  DWORD n; array DWORD cells[n][n][n][n][n]; }
Huge { 65536; 1; }
)")),
              DXFILEERR_BADARRAYSIZE);
    // A negative count in a signed member.
    EXPECT_EQ(LoadResult(Text(R"(
template Signed { <11111111-0000-0000-0000-000000000004> SDWORD n; array DWORD a[n]; }
Signed { -1; 0; }
)")),
              DXFILEERR_BADARRAYSIZE);
}

TEST(XFileBadInput, MeshContentIsHandedThroughForTheLoaderToCheck) {
    // The library lays out what the file says; indices past the vertex count, empty faces,
    // material indices past the material count and counts that disagree are the loader's to
    // judge. Faces claiming billions of indices cannot fit the file and are refused.
    EXPECT_EQ(LoadResult(Text(R"(Mesh {
  3; 0;0;0;, 1;0;0;, 0;1;0;;
  3; 3; 0, 1, 7;, 0;, 3; 0, 1, 2;;
  MeshMaterialList { 1; 2; 0, 5;; }
  MeshNormals { 1; 0;0;1;; 0;; }
})")),
              DXFILEERR_NOMOREOBJECTS);
    EXPECT_EQ(LoadResult(Text("Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3000000000; 0, 1, 2;;; }")),
              DXFILEERR_BADARRAYSIZE);
}

TEST(XFileBadInput, ValuesThatDoNotFitTheirMembers) {
    EXPECT_EQ(LoadResult(Text("Header { 70000; 0; 1; }")), DXFILEERR_BADVALUE);
    EXPECT_EQ(LoadResult(Text("Header { -40000; 0; 1; }")), DXFILEERR_BADVALUE);
    EXPECT_EQ(LoadResult(Text("Header { 1.5; 0; 1; }")), DXFILEERR_BADVALUE);
    EXPECT_EQ(LoadResult(Text("Header { \"one\"; 0; 1; }")), DXFILEERR_BADVALUE);
    EXPECT_EQ(LoadResult(Text("Header { 1; 0; 99999999999999999999999; }")), DXFILEERR_BADVALUE);
    EXPECT_EQ(LoadResult(Text("TextureFilename { 12; }")), DXFILEERR_BADVALUE);
    EXPECT_EQ(LoadResult(Text("Vector { 1; 2; { x }; }")), DXFILEERR_PARSEERROR);
    EXPECT_EQ(LoadResult(Text("Vector { 1; 2; }")), DXFILEERR_PARSEERROR);
    // Values beyond the template's members.
    EXPECT_EQ(LoadResult(Text("Vector { 1; 2; 3; 4; }")), DXFILEERR_PARSEERROR);
    // Both readings of a small signed value are taken: -1 and 65535 in a WORD.
    EXPECT_EQ(LoadResult(Text("Header { -1; 65535; 4294967295; }")), DXFILEERR_NOMOREOBJECTS);
    // Members of types that cannot be laid out.
    EXPECT_EQ(LoadResult(Text(R"(
template Blob { <11111111-0000-0000-0000-000000000005> BINARY payload; }
Blob { 1; }
)")),
              DXFILEERR_BADTYPE);
}

TEST(XFileBadInput, StructureFaults) {
    EXPECT_EQ(LoadResult(Text("Unknown { 1; }")), DXFILEERR_NOTEMPLATE);
    EXPECT_EQ(LoadResult(Text("Frame A { Unknown { } }")), DXFILEERR_NOTEMPLATE);
    EXPECT_EQ(LoadResult(Text("Vector { 1; 2; 3; Frame { } }")), DXFILEERR_PARSEERROR);
    EXPECT_EQ(LoadResult(Text("Vector { 1; 2; 3; { A } }")), DXFILEERR_PARSEERROR);
    EXPECT_EQ(LoadResult(Text("MeshMaterialList { 0; 0;; Frame { } }")), DXFILEERR_PARSEERROR);
    EXPECT_EQ(LoadResult(Text("Frame A { { } }")), DXFILEERR_PARSEERROR);
    EXPECT_EQ(LoadResult(Text("Frame A { { A B } }")), DXFILEERR_PARSEERROR);
    EXPECT_EQ(LoadResult(Text("{ A }")), DXFILEERR_PARSEERROR);
    EXPECT_EQ(LoadResult(Text("Frame A } }")), DXFILEERR_PARSEERROR);
    EXPECT_EQ(LoadResult(Text("Frame A { } }")), DXFILEERR_PARSEERROR);
}

TEST(XFileBadInput, DeepNestingIsLimited) {
    auto nested = [](int depth) {
        std::string text;
        for (int i = 0; i < depth; ++i) {
            text += "Frame {";
        }
        text += std::string(depth, '}');
        return Text(text);
    };
    EXPECT_EQ(LoadResult(nested(256)), DXFILEERR_NOMOREOBJECTS);
    EXPECT_EQ(LoadResult(nested(257)), DXFILEERR_PARSEERROR);
    EXPECT_EQ(LoadResult(nested(100000)), DXFILEERR_PARSEERROR);
    EXPECT_EQ(LoadResult(Text(std::string(100000, '{'))), DXFILEERR_PARSEERROR);
    EXPECT_EQ(LoadResult(Text("Frame A " + std::string(100000, '{'))), DXFILEERR_PARSEERROR);
}

TEST(XFileBadInput, ObjectsBeforeAFaultAreHandedOutAndTheFaultSticks) {
    IDirectXFile* file = NewFileWithStandardTemplates();
    IDirectXFileEnumObject* enumObject = nullptr;
    ASSERT_EQ(
        OpenBytes(file, Text("Frame A {} Frame B {} Frame C { Vector { 1; 2; } }"), &enumObject),
        DXFILE_OK);
    int objects = 0;
    EXPECT_EQ(WalkAll(enumObject, &objects), DXFILEERR_PARSEERROR);
    EXPECT_EQ(objects, 2);
    IDirectXFileData* data = nullptr;
    EXPECT_EQ(enumObject->GetNextDataObject(&data), DXFILEERR_PARSEERROR);
    EXPECT_EQ(enumObject->GetDataObjectByName("Z", &data), DXFILEERR_PARSEERROR);
    ASSERT_EQ(enumObject->GetDataObjectByName("B", &data), DXFILE_OK);
    data->Release();
    enumObject->Release();
    file->Release();
}

TEST(XFileBadInput, BinaryTokensPastTheEndOrUnknown) {
    auto withTail = [](std::initializer_list<uint32_t> words, bool lastIsShort) {
        BinaryWriter w;
        w.Name("Vector").Open();
        size_t i = 0;
        for (uint32_t word : words) {
            if (lastIsShort && ++i == words.size()) {
                w.Code(static_cast<uint16_t>(word));
            } else {
                w.Raw32(word);
            }
        }
        return w.Bytes();
    };
    // Unknown token codes.
    for (uint16_t code : {0, 4, 8, 9, 21, 30, 32, 39, 53, 0xFFFF}) {
        BinaryWriter w;
        w.Name("Frame").Open().Code(code).Close();
        EXPECT_EQ(LoadResult(w.Bytes()), DXFILEERR_PARSEERROR) << code;
    }
    // NAME and STRING counts past the end, list counts past the end, count x size overflowing
    // 32 bits (0x40000001 x 4 and 0x20000001 x 8 wrap to 4 and 8), a token cut in half.
    BinaryWriter name;
    name.Code(1).Raw32(1000).Code('F');
    EXPECT_EQ(LoadResult(name.Bytes()), DXFILEERR_PARSEERROR);
    BinaryWriter emptyName;
    emptyName.Code(1).Raw32(0);
    EXPECT_EQ(LoadResult(emptyName.Bytes()), DXFILEERR_PARSEERROR);
    BinaryWriter string;
    string.Name("TextureFilename").Open().Code(2).Raw32(0xFFFFFFFF).Close();
    EXPECT_EQ(LoadResult(string.Bytes()), DXFILEERR_PARSEERROR);
    EXPECT_EQ(LoadResult(withTail({6 | (0x40000001u << 16), 0x4000, 1}, false)),
              DXFILEERR_PARSEERROR);
    BinaryWriter floats64("xof 0302bin 0064");
    floats64.Name("Vector").Open().Code(7).Raw32(0x20000001).Raw32(0).Raw32(0).Close();
    EXPECT_EQ(LoadResult(floats64.Bytes()), DXFILEERR_PARSEERROR);
    BinaryWriter integers;
    integers.Name("Header").Open().Code(6).Raw32(3).Raw32(1).Raw32(0);
    EXPECT_EQ(LoadResult(integers.Bytes()), DXFILEERR_PARSEERROR);
    BinaryWriter cutGuid;
    cutGuid.Name("Frame").Open().Code(5).Raw32(1);
    EXPECT_EQ(LoadResult(cutGuid.Bytes()), DXFILEERR_PARSEERROR);
    BinaryWriter cutCode;
    cutCode.Name("Frame").Open().Close();
    std::vector<uint8_t> bytes = cutCode.Bytes();
    bytes.push_back(10);
    EXPECT_EQ(LoadResult(bytes), DXFILEERR_PARSEERROR);
    // Many empty lists in a row are passed over without recursion.
    BinaryWriter empties;
    empties.Name("Vector").Open();
    for (int i = 0; i < 200000; ++i) {
        empties.Integers({});
    }
    empties.Floats({1, 2, 3}).Close();
    EXPECT_EQ(LoadResult(empties.Bytes()), DXFILEERR_NOMOREOBJECTS);
}

TEST(XFileBadInput, BadArgumentsAndLoadOptions) {
    EXPECT_EQ(DirectXFileCreate(nullptr), DXFILEERR_BADVALUE);
    IDirectXFile* file = NewFileWithStandardTemplates();
    ASSERT_NE(file, nullptr);
    IDirectXFileEnumObject* enumObject = nullptr;
    DXFILELOADMEMORY memory{nullptr, 16};
    EXPECT_EQ(file->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, &enumObject),
              DXFILEERR_BADVALUE);
    memory.dSize = 0;
    EXPECT_EQ(file->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, &enumObject),
              DXFILEERR_BADFILETYPE);
    EXPECT_EQ(file->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, nullptr), DXFILEERR_BADVALUE);
    EXPECT_EQ(file->CreateEnumObject(&memory, 0x40, &enumObject), DXFILEERR_BADVALUE);
    EXPECT_EQ(file->RegisterTemplates(nullptr, 10), DXFILEERR_BADVALUE);
    EXPECT_EQ(file->RegisterTemplates(D3DRM_XTEMPLATES, 0), DXFILEERR_BADVALUE);
    EXPECT_EQ(file->RegisterTemplates(D3DRM_XTEMPLATES, 15), DXFILEERR_BADFILETYPE);
    // A cut-off standard block registers nothing and leaves the good set in place.
    EXPECT_EQ(file->RegisterTemplates(D3DRM_XTEMPLATES, D3DRM_XTEMPLATE_BYTES - 1),
              DXFILEERR_PARSEERROR);
    EXPECT_EQ(file->RegisterTemplates(D3DRM_XTEMPLATES, D3DRM_XTEMPLATE_BYTES), DXFILE_OK);
    std::vector<uint8_t> vector = Text("Vector { 1; 2; 3; }");
    ASSERT_EQ(OpenBytes(file, vector, &enumObject), DXFILE_OK);
    EXPECT_EQ(enumObject->GetNextDataObject(nullptr), DXFILEERR_BADVALUE);
    IDirectXFileData* data = nullptr;
    ASSERT_EQ(enumObject->GetNextDataObject(&data), DXFILE_OK);
    EXPECT_EQ(data->GetData(nullptr, nullptr, nullptr), DXFILEERR_BADVALUE);
    EXPECT_EQ(data->GetType(nullptr), DXFILEERR_BADVALUE);
    EXPECT_EQ(data->GetId(nullptr), DXFILEERR_BADVALUE);
    EXPECT_EQ(data->GetNextObject(nullptr), DXFILEERR_BADVALUE);
    EXPECT_EQ(data->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    data->Release();
    enumObject->Release();
    file->Release();
}
