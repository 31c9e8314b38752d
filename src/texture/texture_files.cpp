// Finding a texture's image file and loading it: the module's resources, then the working
// directory, then the media folder; the loader chosen by the name's extension.
//
// Texture names come from model files, which are untrusted: a name is looked for only below the
// two folders. An absolute name, or one with a ".." component, is refused as if the file were
// missing; a name with subfolders below the two folders is fine.
#include <cstdio>
#include <cstring>

#include "platform/win32/gdi.h"
#include "platform/win32/kernel.h"
#include "texture/texture_store.h"
#include "texture/tga_reader.h"

namespace {

// Opens and closes the file to see that it is there and readable.
bool FileOpens(LPCSTR path) {
    FILE* file = PlatformOpenFile(path, "rb");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    return true;
}

// True when `name` stays below whatever folder it is joined to. Either separator counts, as the
// platform takes both.
bool StaysBelowItsFolder(LPCSTR name) {
    if (name[0] == '/' || name[0] == '\\') {
        return false;
    }
    for (const char* component = name; *component != '\0';) {
        const size_t length = std::strcspn(component, "/\\");
        if (length == 2 && component[0] == '.' && component[1] == '.') {
            return false;
        }
        component += length;
        component += *component != '\0' ? 1 : 0;
    }
    return true;
}

// Joins `folder` and `name` into `path`; false when they do not fit, in which case the path is
// not a candidate at all.
bool JoinPath(char (&path)[TEXTURE_PATH_SIZE], LPCSTR folder, LPCSTR name) {
    const size_t folderLength = std::strlen(folder);
    const size_t nameLength = std::strlen(name);
    if (folderLength + nameLength >= TEXTURE_PATH_SIZE) {
        return false;
    }
    std::memcpy(path, folder, folderLength);
    std::memcpy(path + folderLength, name, nameLength + 1);
    return true;
}

} // namespace

HRESULT LoadImageData(TextureEntry& entry) {
    HANDLE resource =
        LoadImageA(GetModuleHandleA(nullptr), entry.name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (resource != nullptr) {
        entry.bitmap = static_cast<HBITMAP>(resource);
        return S_OK;
    }

    if (!StaysBelowItsFolder(entry.name)) {
        return DDERR_NOTFOUND;
    }
    char path[TEXTURE_PATH_SIZE];
    bool found = JoinPath(path, "", entry.name) && FileOpens(path);
    if (!found) {
        found = JoinPath(path, GetMediaPath(), entry.name) && FileOpens(path);
    }
    if (!found) {
        return DDERR_NOTFOUND;
    }

    const char* extension = std::strrchr(entry.name, '.');
    if (extension != nullptr && lstrcmpiA(extension, ".bmp") == 0) {
        return LoadBmpFile(entry, path);
    }
    if (extension != nullptr && lstrcmpiA(extension, ".tga") == 0) {
        return LoadTgaFile(entry, path);
    }
    return E_NOTIMPL;
}

HRESULT LoadBmpFile(TextureEntry& entry, LPCSTR path) {
    HANDLE bitmap =
        LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (bitmap == nullptr) {
        return DDERR_NOTFOUND;
    }
    entry.bitmap = static_cast<HBITMAP>(bitmap);
    return S_OK;
}

HRESULT LoadTgaFile(TextureEntry& entry, LPCSTR path) {
    FILE* file = PlatformOpenFile(path, "rb");
    if (file == nullptr) {
        return E_FAIL;
    }
    TgaImage image;
    const HRESULT result = ReadTgaImage(file, image);
    std::fclose(file);
    if (FAILED(result)) {
        return result;
    }
    entry.width = image.width;
    entry.height = image.height;
    entry.bitsPerPixel = image.bitsPerPixel;
    entry.pixels = image.pixels.release();
    return S_OK;
}
