// The media files read by the program's own loaders. The three models go through its .X library
// the way the mesh loader walks them: every object it reads must be there with the data layout it
// expects, references must resolve, and the counts must agree with each other and with the
// scenes' triangle budgets. The pictures go through its bitmap and TGA readers.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "mkmedia/art.h"
#include "mkmedia/image.h"
#include "platform/win32/gdi.h"
#include "platform/win32/kernel.h"
#include "platform/xfile/dxfile.h"
#include "platform/xfile/xtemplates.h"
#include "texture/tga_reader.h"

namespace {

// Releases an interface pointer at the end of a scope.
template <typename T> class Held {
public:
    Held() = default;
    ~Held() {
        if (p_ != nullptr) {
            p_->Release();
        }
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    // Releases what is held, for a call that hands out a new pointer.
    T** Out() {
        if (p_ != nullptr) {
            p_->Release();
            p_ = nullptr;
        }
        return &p_;
    }
    T* operator->() const { return p_; }
    T* Get() const { return p_; }

private:
    T* p_ = nullptr;
};

uint32_t Dword(const uint8_t* data, size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, data + at, 4);
    return v;
}

float Float(const uint8_t* data, size_t at) {
    float v = 0;
    std::memcpy(&v, data + at, 4);
    return v;
}

// What the walk found in one file.
struct Found {
    int frames = 0;
    int matrices = 0;
    int meshes = 0;
    int meshesWithNormals = 0;
    int meshesWithCoords = 0;
    int materialLists = 0;
    int materials = 0; // inside material lists, inline or by reference
    size_t triangles = 0;
    size_t mostMaterialsInAList = 0;
    std::vector<std::string> textures;
};

struct MeshCounts {
    uint32_t vertices = 0;
    uint32_t faces = 0;
};

// The next child of `parent` as a data object, with its type; false at the end of the children
// (or, with a failure recorded, when a child is not a data object).
bool NextDataChild(IDirectXFileData* parent, Held<IDirectXFileData>& part, const GUID*& type) {
    Held<IDirectXFileObject> child;
    if (parent->GetNextObject(child.Out()) != DXFILE_OK) {
        return false;
    }
    const HRESULT asData =
        child->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void**>(part.Out()));
    EXPECT_EQ(asData, S_OK) << "a child that is not a data object";
    if (asData != S_OK) {
        return false;
    }
    type = nullptr;
    EXPECT_EQ(part->GetType(&type), DXFILE_OK);
    return type != nullptr;
}

void ReadMaterial(IDirectXFileData* material, Found& found) {
    DWORD size = 0;
    void* data = nullptr;
    ASSERT_EQ(material->GetData(nullptr, &size, &data), DXFILE_OK);
    ASSERT_EQ(size, 11u * 4u); // face colour 4, power 1, specular 3, emissive 3
    EXPECT_EQ(Float(static_cast<uint8_t*>(data), 12), 1.0f) << "materials are opaque";
    ++found.materials;
    Held<IDirectXFileData> texture;
    const GUID* type = nullptr;
    if (!NextDataChild(material, texture, type)) {
        return;
    }
    ASSERT_TRUE(*type == TID_D3DRMTextureFilename);
    ASSERT_EQ(texture->GetData(nullptr, &size, &data), DXFILE_OK);
    ASSERT_EQ(size, sizeof(char*));
    const char* name = nullptr;
    std::memcpy(&name, data, sizeof name);
    ASSERT_NE(name, nullptr);
    found.textures.emplace_back(name);
}

void ReadMaterialList(IDirectXFileData* list, const MeshCounts& mesh, Found& found) {
    DWORD size = 0;
    void* data = nullptr;
    ASSERT_EQ(list->GetData(nullptr, &size, &data), DXFILE_OK);
    const uint8_t* bytes = static_cast<uint8_t*>(data);
    ASSERT_GE(size, 8u);
    const uint32_t count = Dword(bytes, 0);
    const uint32_t indexes = Dword(bytes, 4);
    ASSERT_EQ(indexes, mesh.faces) << "one material index per face";
    ASSERT_EQ(size, 8u + 4u * indexes);
    for (uint32_t i = 0; i < indexes; ++i) {
        ASSERT_LT(Dword(bytes, 8 + 4 * i), count);
    }
    ++found.materialLists;
    int before = found.materials;
    for (;;) {
        Held<IDirectXFileObject> child;
        if (list->GetNextObject(child.Out()) != DXFILE_OK) {
            break;
        }
        Held<IDirectXFileData> material;
        Held<IDirectXFileDataReference> reference;
        if (child->QueryInterface(IID_IDirectXFileDataReference,
                                  reinterpret_cast<void**>(reference.Out())) == S_OK) {
            ASSERT_EQ(reference->Resolve(material.Out()), DXFILE_OK);
        } else {
            ASSERT_EQ(child->QueryInterface(IID_IDirectXFileData,
                                            reinterpret_cast<void**>(material.Out())),
                      S_OK);
        }
        const GUID* type = nullptr;
        ASSERT_EQ(material->GetType(&type), DXFILE_OK);
        ASSERT_TRUE(*type == TID_D3DRMMaterial);
        ReadMaterial(material.Get(), found);
    }
    EXPECT_EQ(static_cast<uint32_t>(found.materials - before), count);
    found.mostMaterialsInAList = std::max<size_t>(found.mostMaterialsInAList, count);
}

void ReadMesh(IDirectXFileData* mesh, Found& found) {
    DWORD size = 0;
    void* data = nullptr;
    ASSERT_EQ(mesh->GetData(nullptr, &size, &data), DXFILE_OK);
    const uint8_t* bytes = static_cast<uint8_t*>(data);
    MeshCounts counts;
    counts.vertices = Dword(bytes, 0);
    ASSERT_LT(counts.vertices, 65536u) << "16-bit indices";
    size_t at = 4 + 12ull * counts.vertices;
    ASSERT_LE(at + 4, size);
    counts.faces = Dword(bytes, at);
    at += 4;
    for (uint32_t f = 0; f < counts.faces; ++f) {
        ASSERT_LE(at + 4, size);
        uint32_t n = Dword(bytes, at);
        ASSERT_GE(n, 3u);
        ASSERT_LE(at + 4 + 4ull * n, size);
        for (uint32_t k = 0; k < n; ++k) {
            ASSERT_LT(Dword(bytes, at + 4 + 4 * k), counts.vertices);
        }
        found.triangles += n - 2;
        at += 4 + 4ull * n;
    }
    EXPECT_EQ(at, size);
    ++found.meshes;

    Held<IDirectXFileData> part;
    const GUID* type = nullptr;
    while (NextDataChild(mesh, part, type)) {
        ASSERT_EQ(part->GetData(nullptr, &size, &data), DXFILE_OK);
        bytes = static_cast<uint8_t*>(data);
        if (*type == TID_D3DRMMeshMaterialList) {
            ReadMaterialList(part.Get(), counts, found);
        } else if (*type == TID_D3DRMMeshNormals) {
            EXPECT_EQ(Dword(bytes, 0), counts.vertices);
            for (uint32_t i = 0; i < counts.vertices; ++i) {
                float x = Float(bytes, 4 + 12 * i);
                float y = Float(bytes, 8 + 12 * i);
                float z = Float(bytes, 12 + 12 * i);
                EXPECT_NEAR(x * x + y * y + z * z, 1.0f, 1e-4f) << "normal " << i;
            }
            ++found.meshesWithNormals;
        } else if (*type == TID_D3DRMMeshTextureCoords) {
            EXPECT_EQ(Dword(bytes, 0), counts.vertices);
            EXPECT_EQ(size, 4u + 8u * counts.vertices);
            ++found.meshesWithCoords;
        } else {
            ADD_FAILURE() << "a mesh child the loader would skip";
        }
    }
}

void ReadFrame(IDirectXFileData* frame, Found& found) {
    ++found.frames;
    Held<IDirectXFileData> part;
    const GUID* type = nullptr;
    while (NextDataChild(frame, part, type)) {
        if (*type == TID_D3DRMFrame) {
            ReadFrame(part.Get(), found);
        } else if (*type == TID_D3DRMMesh) {
            ReadMesh(part.Get(), found);
        } else if (*type == TID_D3DRMFrameTransformMatrix) {
            DWORD size = 0;
            void* data = nullptr;
            ASSERT_EQ(part->GetData(nullptr, &size, &data), DXFILE_OK);
            EXPECT_EQ(size, 64u);
            ++found.matrices;
        } else {
            ADD_FAILURE() << "a frame child the loader would skip";
        }
    }
}

Found ReadModel(const char* name) {
    Found found;
    Held<IDirectXFile> file;
    EXPECT_EQ(DirectXFileCreate(file.Out()), DXFILE_OK);
    EXPECT_EQ(file->RegisterTemplates(D3DRM_XTEMPLATES, D3DRM_XTEMPLATE_BYTES), DXFILE_OK);
    std::string path = std::string(LUMENFALL_MEDIA_DIR) + "/" + name;
    Held<IDirectXFileEnumObject> walk;
    HRESULT opened =
        file->CreateEnumObject(const_cast<char*>(path.c_str()), DXFILELOAD_FROMFILE, walk.Out());
    EXPECT_EQ(opened, DXFILE_OK) << path;
    if (opened != DXFILE_OK) {
        return found;
    }
    HRESULT result = DXFILE_OK;
    for (;;) {
        Held<IDirectXFileData> object;
        result = walk->GetNextDataObject(object.Out());
        if (result != DXFILE_OK) {
            break;
        }
        const GUID* type = nullptr;
        EXPECT_EQ(object->GetType(&type), DXFILE_OK);
        if (*type == TID_D3DRMFrame) {
            ReadFrame(object.Get(), found);
        } else if (*type == TID_D3DRMMesh) {
            ReadMesh(object.Get(), found);
        }
    }
    EXPECT_EQ(result, DXFILEERR_NOMOREOBJECTS) << "the walk must end cleanly";
    return found;
}

} // namespace

TEST(MediaXFile, OrreryIsAFrameTreeWithEverythingGiven) {
    Found f = ReadModel("object.1");
    EXPECT_EQ(f.frames, 4);
    EXPECT_EQ(f.matrices, 4);
    EXPECT_EQ(f.meshes, 3);
    EXPECT_EQ(f.meshesWithNormals, 3);
    EXPECT_EQ(f.meshesWithCoords, 3);
    EXPECT_EQ(f.materialLists, 3);
    EXPECT_GE(f.mostMaterialsInAList, 2u);
    EXPECT_EQ(f.textures, std::vector<std::string>{"gleam.tga"});
    EXPECT_LT(f.triangles, 3000u);
}

TEST(MediaXFile, SparkIsBinaryWithNormalsLeftToTheLoader) {
    Found f = ReadModel("object.2");
    EXPECT_EQ(f.frames, 1);
    EXPECT_EQ(f.matrices, 1);
    EXPECT_EQ(f.meshes, 1);
    EXPECT_EQ(f.meshesWithNormals, 0);
    EXPECT_EQ(f.materialLists, 1);
    EXPECT_EQ(f.materials, 1);
    EXPECT_LT(f.triangles, 400u);
}

TEST(MediaXFile, BladeIsATopLevelMeshWhoseMaterialIsAReference) {
    Found f = ReadModel("object.3");
    EXPECT_EQ(f.frames, 0);
    EXPECT_EQ(f.meshes, 1);
    EXPECT_EQ(f.meshesWithNormals, 1);
    EXPECT_EQ(f.meshesWithCoords, 1);
    EXPECT_EQ(f.materials, 1);
    EXPECT_TRUE(f.textures.empty());
    EXPECT_LT(f.triangles, 2000u);
}

TEST(MediaImages, BitmapsLoadAsDibSectionsOfTheirSize) {
    const struct {
        const char* name;
        LONG width, height;
    } pictures[] = {{"title.bmp", 512, 128},
                    {"nosound.bmp", 512, 32},
                    {"misc.bmp", 512, 512},
                    {"file.bmp", 256, 256},
                    {"the_end.bmp", 512, 256}};
    for (const auto& picture : pictures) {
        SCOPED_TRACE(picture.name);
        std::string path = std::string(LUMENFALL_MEDIA_DIR) + "/" + picture.name;
        HANDLE loaded = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                   LR_LOADFROMFILE | LR_CREATEDIBSECTION);
        ASSERT_NE(loaded, nullptr);
        HBITMAP bitmap = static_cast<HBITMAP>(loaded);
        BITMAP info{};
        EXPECT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
        EXPECT_EQ(info.bmWidth, picture.width);
        EXPECT_EQ(info.bmHeight, picture.height);
        EXPECT_EQ(info.bmBitsPixel, 24);
        EXPECT_NE(info.bmBits, nullptr);
        DeleteObject(bitmap);
    }
}

TEST(MediaImages, GleamReadsBackToThePaintedPixels) {
    std::string path = std::string(LUMENFALL_MEDIA_DIR) + "/gleam.tga";
    FILE* file = PlatformOpenFile(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    TgaImage image;
    HRESULT result = ReadTgaImage(file, image);
    std::fclose(file);
    ASSERT_EQ(result, S_OK);
    EXPECT_EQ(image.bitsPerPixel, 32u);

    std::vector<double> alpha;
    mkmedia::RgbImage painted = mkmedia::PaintGleam(&alpha);
    ASSERT_EQ(image.width, static_cast<DWORD>(painted.Width()));
    ASSERT_EQ(image.height, static_cast<DWORD>(painted.Height()));
    int wrong = 0;
    for (int y = 0; y < painted.Height(); ++y) {
        for (int x = 0; x < painted.Width(); ++x) {
            DWORD expected = (DWORD{painted.Byte(x, y, 0)} << 24) |
                             (DWORD{painted.Byte(x, y, 1)} << 16) |
                             (DWORD{painted.Byte(x, y, 2)} << 8) |
                             mkmedia::ToByte(alpha[static_cast<size_t>(y) * painted.Width() + x]);
            wrong += image.pixels[static_cast<size_t>(y) * image.width + x] != expected;
        }
    }
    EXPECT_EQ(wrong, 0) << "row order, channel order or run lengths differ";
}
