// Opening a model file (by its name, then in the media folder) and walking its top-level objects.
#include "mesh/mesh_file.h"

#include <cstring>
#include <new>

#include "mesh/mesh_loader.h"
#include "platform/xfile/xtemplates.h"
#include "texture/texture_store.h"

namespace {

constexpr size_t MEDIA_FILE_PATH_SIZE = 512; // terminator included

// The name in the media folder. False when the two do not fit: a path cut short could name
// another file, so the attempt is not made.
bool BuildMediaFilePath(LPCSTR name, char (&path)[MEDIA_FILE_PATH_SIZE]) {
    const char* folder = GetMediaPath();
    const size_t folderLength = std::strlen(folder);
    const size_t nameLength = std::strlen(name);
    if (folderLength + nameLength >= MEDIA_FILE_PATH_SIZE) {
        return false;
    }
    std::memcpy(path, folder, folderLength);
    std::memcpy(path + folderLength, name, nameLength + 1);
    return true;
}

// A file object that knows the standard templates.
bool CreateFileObject(XFileRef<IDirectXFile>& file) {
    if (FAILED(DirectXFileCreate(file.Out())) || file.Get() == nullptr) {
        return false;
    }
    return SUCCEEDED(file->RegisterTemplates(D3DRM_XTEMPLATES, D3DRM_XTEMPLATE_BYTES));
}

} // namespace

HRESULT MeshFile::Load(LPCSTR fileName) {
    DestroyTree();
    if (fileName == nullptr) {
        return E_INVALIDARG;
    }
    // Declared first, so released after the enumeration object, which was made from it.
    XFileRef<IDirectXFile> file;
    if (!CreateFileObject(file)) {
        return E_FAIL;
    }
    XFileRef<IDirectXFileEnumObject> enumObject;
    HRESULT result =
        file->CreateEnumObject(const_cast<char*>(fileName), DXFILELOAD_FROMFILE, enumObject.Out());
    if (FAILED(result)) {
        char path[MEDIA_FILE_PATH_SIZE];
        if (!BuildMediaFilePath(fileName, path)) {
            return result;
        }
        result = file->CreateEnumObject(path, DXFILELOAD_FROMFILE, enumObject.Out());
        if (FAILED(result)) {
            return result;
        }
    }
    return ReadObjects(enumObject.Get());
}

HRESULT MeshFile::LoadFromMemory(LPCVOID data, DWORD size) {
    DestroyTree();
    if (data == nullptr) {
        return E_INVALIDARG;
    }
    XFileRef<IDirectXFile> file;
    if (!CreateFileObject(file)) {
        return E_FAIL;
    }
    XFileRef<IDirectXFileEnumObject> enumObject;
    DXFILELOADMEMORY memory{const_cast<void*>(data), size};
    const HRESULT result = file->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, enumObject.Out());
    if (FAILED(result)) {
        return result;
    }
    return ReadObjects(enumObject.Get());
}

HRESULT MeshFile::ReadObjects(IDirectXFileEnumObject* enumObject) {
    root = new (std::nothrow) MeshNode("D3DFile_Root");
    if (root == nullptr) {
        return E_OUTOFMEMORY;
    }
    MeshChildList topLevel(root);
    HRESULT result;
    for (;;) {
        XFileRef<IDirectXFileData> object;
        result = enumObject->GetNextDataObject(object.Out());
        if (FAILED(result)) {
            break;
        }
        if (object.Get() == nullptr) {
            result = E_FAIL;
            break;
        }
        // Results of single objects do not decide the load: a frame or mesh that fails is left
        // out and the walk goes on. Other top-level objects (headers, materials) are skipped.
        const GUID* type = TypeOf(object.Get());
        if (type == nullptr) {
            continue;
        }
        if (*type == TID_D3DRMFrame) {
            LoadFrame(object.Get(), topLevel);
        } else if (*type == TID_D3DRMMesh) {
            LoadMesh(object.Get(), topLevel);
        }
    }
    if (result != DXFILEERR_NOMOREOBJECTS) {
        DestroyTree();
        return result;
    }
    return S_OK;
}

HRESULT MeshFile::DestroyTree() {
    delete root;
    root = nullptr;
    return S_OK;
}
