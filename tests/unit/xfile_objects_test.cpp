// The interface objects: names, ids, references and how they resolve, reference counts, the
// walk's searches, and opening files by name.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "xfile_test_helpers.h"

using namespace xfile_test;

namespace {

// Owns the objects a test opens and releases them in the right order.
struct OpenedFile {
    explicit OpenedFile(std::string_view text) {
        file = NewFileWithStandardTemplates();
        result = OpenBytes(file, TextBytes(text), &enumObject);
    }
    ~OpenedFile() {
        if (enumObject != nullptr) {
            enumObject->Release();
        }
        file->Release();
    }
    IDirectXFileData* Next() {
        IDirectXFileData* data = nullptr;
        EXPECT_EQ(enumObject->GetNextDataObject(&data), DXFILE_OK);
        return data;
    }

    IDirectXFile* file = nullptr;
    IDirectXFileEnumObject* enumObject = nullptr;
    HRESULT result = E_FAIL;
};

// Resolves the data object's references in order; the resolved names, or "!" for a failure.
std::string ResolveChildren(IDirectXFileData* data) {
    std::string out;
    IDirectXFileObject* child = nullptr;
    while (SUCCEEDED(data->GetNextObject(&child))) {
        IDirectXFileDataReference* reference = nullptr;
        if (SUCCEEDED(child->QueryInterface(IID_IDirectXFileDataReference, (void**)&reference))) {
            IDirectXFileData* target = nullptr;
            HRESULT hr = reference->Resolve(&target);
            if (SUCCEEDED(hr)) {
                DWORD size = 0;
                void* bytes = nullptr;
                target->GetData(nullptr, &size, &bytes);
                float red = 0;
                std::memcpy(&red, bytes, 4);
                out += NameOf(target) + "(" + std::to_string(static_cast<int>(red)) + ") ";
                target->Release();
            } else {
                EXPECT_EQ(hr, DXFILEERR_BADDATAREFERENCE);
                EXPECT_EQ(target, nullptr);
                out += "! ";
            }
            reference->Release();
        }
        child->Release();
    }
    return out;
}

} // namespace

TEST(XFileObjects, ReferencesResolveOnlyToEarlierCompletedObjects) {
    OpenedFile opened(R"(xof 0302txt 0032
ColorRGB Red { 1; 0; 0; }
ColorRGB Twin { <AAAAAAAA-0000-0000-0000-000000000001> 2; 0; 0; }
ColorRGB Twin { <AAAAAAAA-0000-0000-0000-000000000002> 3; 0; 0; }
Frame Outer {
  ColorRGB Inner { 4; 0; 0; }
  Frame Holder {
    { Red }
    { <AAAAAAAA-0000-0000-0000-000000000001> }
    { Twin <AAAAAAAA-0000-0000-0000-000000000002> }
    { Twin <AAAAAAAA-0000-0000-0000-000000000001> }
    { Twin }
    { Inner }
    { Outer }
    { Holder }
    { Later }
    { Nobody }
    { Red <AAAAAAAA-0000-0000-0000-000000000001> }
  }
}
ColorRGB Later { 5; 0; 0; }
)");
    ASSERT_EQ(opened.result, DXFILE_OK);
    for (int i = 0; i < 3; ++i) {
        opened.Next()->Release();
    }
    IDirectXFileData* outer = opened.Next();
    IDirectXFileObject* child = nullptr;
    IDirectXFileData* holder = nullptr;
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(outer->GetNextObject(&child), DXFILE_OK);
        if (i == 1) {
            ASSERT_EQ(child->QueryInterface(IID_IDirectXFileData, (void**)&holder), S_OK);
        }
        child->Release();
    }
    // By name; by GUID; by both; a repeated name gives the latest earlier one; an enclosing
    // object, the object itself, a later one and an unknown name do not resolve, nor does a
    // name whose GUID belongs to another object.
    EXPECT_EQ(ResolveChildren(holder),
              "Red(1) Twin(2) Twin(3) Twin(2) Twin(3) Inner(4) ! ! ! ! ! ");
    holder->Release();
    outer->Release();
}

TEST(XFileObjects, NamesAndIds) {
    std::string longName(79, 'n');
    std::string tooLong(80, 'm');
    OpenedFile opened("xof 0302txt 0032\nFrame " + longName + " {}\nFrame " + tooLong +
                      " {}\nFrame { <12345678-9ABC-DEF0-1122-334455667788> }\n");
    ASSERT_EQ(opened.result, DXFILE_OK);

    IDirectXFileData* fits = opened.Next();
    char name[80];
    DWORD size = sizeof name;
    ASSERT_EQ(fits->GetName(name, &size), DXFILE_OK);
    EXPECT_EQ(name, longName);
    EXPECT_EQ(size, 80u);
    size = 0;
    EXPECT_EQ(fits->GetName(nullptr, &size), DXFILE_OK);
    EXPECT_EQ(size, 80u);
    fits->Release();

    // One character too many for the caller's 80: refused, nothing written past the buffer.
    IDirectXFileData* tooLongObject = opened.Next();
    char guarded[81];
    std::memset(guarded, 'x', sizeof guarded);
    size = 80;
    EXPECT_EQ(tooLongObject->GetName(guarded, &size), DXFILEERR_BADVALUE);
    EXPECT_EQ(size, 81u);
    EXPECT_EQ(guarded[0], 'x');
    EXPECT_EQ(guarded[80], 'x');
    EXPECT_EQ(tooLongObject->GetName(name, nullptr), DXFILEERR_BADVALUE);
    tooLongObject->Release();

    IDirectXFileData* unnamed = opened.Next();
    size = sizeof name;
    ASSERT_EQ(unnamed->GetName(name, &size), DXFILE_OK);
    EXPECT_STREQ(name, "");
    EXPECT_EQ(size, 1u);
    GUID id{};
    ASSERT_EQ(unnamed->GetId(&id), DXFILE_OK);
    EXPECT_EQ(id.Data1, 0x12345678u);
    EXPECT_EQ(id.Data2, 0x9ABCu);
    EXPECT_EQ(id.Data3, 0xDEF0u);
    EXPECT_EQ(id.Data4[7], 0x88);
    // An object without members has no data.
    DWORD dataSize = 1;
    void* data = &dataSize;
    ASSERT_EQ(unnamed->GetData(nullptr, &dataSize, &data), DXFILE_OK);
    EXPECT_EQ(dataSize, 0u);
    EXPECT_EQ(data, nullptr);
    unnamed->Release();

    IDirectXFileData* none = nullptr;
    EXPECT_EQ(opened.enumObject->GetNextDataObject(&none), DXFILEERR_NOMOREOBJECTS);
    EXPECT_EQ(opened.enumObject->GetNextDataObject(&none), DXFILEERR_NOMOREOBJECTS);
    EXPECT_EQ(none, nullptr);
}

TEST(XFileObjects, ReferenceCountsAndInterfaces) {
    OpenedFile opened("xof 0302txt 0032\nFrame F { Frame G {} }\n");
    IDirectXFileData* frame = opened.Next();
    EXPECT_EQ(frame->AddRef(), 2u);
    EXPECT_EQ(frame->Release(), 1u);

    IDirectXFileObject* asObject = nullptr;
    ASSERT_EQ(frame->QueryInterface(IID_IDirectXFileObject, (void**)&asObject), S_OK);
    EXPECT_EQ(asObject, static_cast<IDirectXFileObject*>(frame));
    IUnknown* asUnknown = nullptr;
    ASSERT_EQ(frame->QueryInterface(IID_IUnknown, (void**)&asUnknown), S_OK);
    EXPECT_EQ(asUnknown->Release(), 2u);
    EXPECT_EQ(asObject->Release(), 1u);
    void* wrong = &asObject;
    EXPECT_EQ(frame->QueryInterface(IID_IDirectXFileDataReference, &wrong), E_NOINTERFACE);
    EXPECT_EQ(wrong, nullptr);
    EXPECT_EQ(frame->QueryInterface(IID_IDirectXFileEnumObject, &wrong), E_NOINTERFACE);

    // Each walk over the children is the object's own.
    IDirectXFileObject* child = nullptr;
    ASSERT_EQ(frame->GetNextObject(&child), DXFILE_OK);
    EXPECT_EQ(NameOf(child), "G");
    EXPECT_EQ(child->Release(), 0u);
    EXPECT_EQ(frame->GetNextObject(&child), DXFILEERR_NOMOREOBJECTS);
    EXPECT_EQ(frame->Release(), 0u);

    IDirectXFileEnumObject* sameEnum = nullptr;
    ASSERT_EQ(opened.enumObject->QueryInterface(IID_IDirectXFileEnumObject, (void**)&sameEnum),
              S_OK);
    EXPECT_EQ(sameEnum->Release(), 1u);
    IDirectXFile* sameFile = nullptr;
    ASSERT_EQ(opened.file->QueryInterface(IID_IDirectXFile, (void**)&sameFile), S_OK);
    EXPECT_EQ(sameFile->Release(), 1u);
}

TEST(XFileObjects, SearchesByNameAndIdLeaveTheWalkWhereItWas) {
    OpenedFile opened(R"(xof 0302txt 0032
Frame A {}
Frame B { <00000000-0000-0000-0000-0000000000BB> }
Frame C {}
)");
    IDirectXFileData* first = opened.Next();
    EXPECT_EQ(NameOf(first), "A");
    first->Release();
    IDirectXFileData* found = nullptr;
    ASSERT_EQ(opened.enumObject->GetDataObjectByName("C", &found), DXFILE_OK);
    EXPECT_EQ(NameOf(found), "C");
    found->Release();
    GUID id{};
    id.Data4[7] = 0xBB;
    ASSERT_EQ(opened.enumObject->GetDataObjectById(id, &found), DXFILE_OK);
    EXPECT_EQ(NameOf(found), "B");
    found->Release();
    EXPECT_EQ(opened.enumObject->GetDataObjectByName("c", &found), DXFILEERR_NOTFOUND);
    IDirectXFileData* second = opened.Next();
    EXPECT_EQ(NameOf(second), "B");
    second->Release();
}

TEST(XFileObjects, OpensFilesByNameWithBackslashes) {
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / ("xfile_objects_" + std::to_string(getpid()));
    fs::create_directories(folder / "models");
    {
        std::FILE* out = std::fopen((folder / "models" / "tiny.x").c_str(), "wb");
        ASSERT_NE(out, nullptr);
        std::fputs("xof 0302txt 0032\nFrame Tiny {}\n", out);
        std::fclose(out);
    }
    IDirectXFile* file = NewFileWithStandardTemplates();
    IDirectXFileEnumObject* enumObject = nullptr;
    std::string path = folder.string() + "\\models\\tiny.x";
    ASSERT_EQ(file->CreateEnumObject(path.data(), DXFILELOAD_FROMFILE, &enumObject), DXFILE_OK);
    IDirectXFileData* tiny = nullptr;
    ASSERT_EQ(enumObject->GetNextDataObject(&tiny), DXFILE_OK);
    EXPECT_EQ(NameOf(tiny), "Tiny");
    tiny->Release();
    enumObject->Release();

    std::string missing = folder.string() + "\\models\\absent.x";
    EXPECT_EQ(file->CreateEnumObject(missing.data(), DXFILELOAD_FROMFILE, &enumObject),
              DXFILEERR_FILENOTFOUND);
    EXPECT_EQ(enumObject, nullptr);
    // A folder opens but cannot be read as a file.
    std::string folderPath = (folder / "models").string();
    EXPECT_EQ(file->CreateEnumObject(folderPath.data(), DXFILELOAD_FROMFILE, &enumObject),
              DXFILEERR_BADFILE);
    EXPECT_EQ(file->CreateEnumObject(nullptr, DXFILELOAD_FROMFILE, &enumObject),
              DXFILEERR_BADVALUE);
    EXPECT_EQ(file->CreateEnumObject(path.data(), DXFILELOAD_FROMURL, &enumObject),
              DXFILEERR_NOTDONEYET);
    file->Release();
    fs::remove_all(folder);
}

TEST(XFileObjects, AFileAsPeriodExportersWroteIt) {
    // CRLF line ends, repeated standard templates, tabs, comments, references without spaces.
    std::string path = std::string(LUMENFALL_TEST_DATA) + "/xfile/exporter_style.x";
    std::string dump;
    {
        std::FILE* in = std::fopen(path.c_str(), "rb");
        ASSERT_NE(in, nullptr);
        std::vector<uint8_t> bytes;
        int c;
        while ((c = std::fgetc(in)) != EOF) {
            bytes.push_back(static_cast<uint8_t>(c));
        }
        std::fclose(in);
        dump = DumpFile(bytes);
    }
    EXPECT_EQ(dump.find("failed"), std::string::npos) << dump;
    EXPECT_NE(dump.find("\"Marlow\\Media\\gleam.tga\""), std::string::npos) << dump;
    EXPECT_NE(dump.find("ref 'Bright' -> 'Bright'"), std::string::npos) << dump;

    IDirectXFile* file = NewFileWithStandardTemplates();
    IDirectXFileEnumObject* enumObject = nullptr;
    ASSERT_EQ(file->CreateEnumObject(path.data(), DXFILELOAD_FROMFILE, &enumObject), DXFILE_OK);
    IDirectXFileData* frame = nullptr;
    ASSERT_EQ(enumObject->GetDataObjectByName("Scene_Root", &frame), DXFILE_OK);
    IDirectXFileObject* child = nullptr;
    IDirectXFileData* box = nullptr;
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(frame->GetNextObject(&child), DXFILE_OK);
        if (i == 1) {
            ASSERT_EQ(child->QueryInterface(IID_IDirectXFileData, (void**)&box), S_OK);
        }
        child->Release();
    }
    EXPECT_EQ(NameOf(box), "Box01");
    ASSERT_EQ(box->GetNextObject(&child), DXFILE_OK);
    IDirectXFileData* transform = nullptr;
    ASSERT_EQ(child->QueryInterface(IID_IDirectXFileData, (void**)&transform), S_OK);
    DWORD size = 0;
    void* data = nullptr;
    ASSERT_EQ(transform->GetData(nullptr, &size, &data), DXFILE_OK);
    ASSERT_EQ(size, 64u);
    float row4[4];
    std::memcpy(row4, static_cast<uint8_t*>(data) + 48, sizeof row4);
    EXPECT_EQ(row4[0], -2.5f);
    EXPECT_EQ(row4[2], 4.0f);
    EXPECT_EQ(row4[3], 1.0f);
    transform->Release();
    child->Release();
    box->Release();
    frame->Release();
    EXPECT_EQ(WalkAll(enumObject), DXFILEERR_NOMOREOBJECTS);
    enumObject->Release();
    file->Release();
}
