// The media folder: the registry's "Kestrel Samples Path" with "\Marlow\Media\" appended.
#include <cstring>

#include "platform/win32/registry.h"
#include "texture/texture_store.h"

namespace {

constexpr DWORD REGISTRY_VALUE_SIZE = 512;
constexpr char MEDIA_SUBFOLDER[] = "\\Marlow\\Media\\";

// Room for the longest value the query may write, a terminator it may not have written, and the
// subfolder: a value that fills all 512 bytes cannot make the append run over.
char mediaPath[REGISTRY_VALUE_SIZE + 1 + sizeof(MEDIA_SUBFOLDER)];

} // namespace

LPCSTR GetMediaPath() {
    mediaPath[0] = '\0';
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Quorvane\\DirectX", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return mediaPath;
    }
    DWORD size = REGISTRY_VALUE_SIZE;
    const LONG result = RegQueryValueExA(key, "Kestrel Samples Path", nullptr, nullptr,
                                         reinterpret_cast<LPBYTE>(mediaPath), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        mediaPath[0] = '\0';
        return mediaPath;
    }
    // The stored value need not end with a terminator; it ends where the written bytes end.
    mediaPath[size < REGISTRY_VALUE_SIZE ? size : REGISTRY_VALUE_SIZE] = '\0';
    std::strcat(mediaPath, MEDIA_SUBFOLDER);
    return mediaPath;
}
