// RegOpenKeyExA, RegQueryValueExA and RegCloseKey over the file-backed store. An open key holds
// a snapshot of its values taken when it was opened.
#include "platform/win32/registry.h"

#include <cstring>
#include <memory>
#include <unordered_map>

#include "platform/win32/registry_store.h"

namespace {

// Open keys beyond this many are refused: a program that opens keys in a loop without closing
// them gets an error instead of eating memory.
constexpr size_t MAX_OPEN_KEYS = 4096;
constexpr uintptr_t FIRST_KEY_HANDLE = 0x1000;

struct OpenKey {
    std::string path;
    RegistryKeyValues values;
};

struct OpenKeyTable {
    std::unordered_map<uintptr_t, OpenKey> keys;
    uintptr_t nextHandle = FIRST_KEY_HANDLE;
};

OpenKeyTable& Keys() {
    static OpenKeyTable table;
    return table;
}

const char* PredefinedKeyName(HKEY key) {
    if (key == HKEY_LOCAL_MACHINE) {
        return "hkey_local_machine";
    }
    if (key == HKEY_CURRENT_USER) {
        return "hkey_current_user";
    }
    if (key == HKEY_CLASSES_ROOT) {
        return "hkey_classes_root";
    }
    return nullptr;
}

// The canonical path of a predefined or open key; false for anything else.
bool KeyPath(HKEY key, std::string* path) {
    if (const char* name = PredefinedKeyName(key)) {
        *path = name;
        return true;
    }
    auto& keys = Keys().keys;
    auto found = keys.find(reinterpret_cast<uintptr_t>(key));
    if (found == keys.end()) {
        return false;
    }
    *path = found->second.path;
    return true;
}

bool KeyExists(const RegistryContents& contents, const std::string& path) {
    if (path.find('\\') == std::string::npos) {
        return true; // the predefined roots always exist
    }
    for (const auto& entry : contents) {
        const std::string& key = entry.first;
        if (key == path || (key.size() > path.size() && key.compare(0, path.size(), path) == 0 &&
                            key[path.size()] == '\\')) {
            return true;
        }
    }
    return false;
}

} // namespace

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD /*options*/, REGSAM /*access*/, HKEY* result) {
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *result = nullptr;
    std::string path;
    if (!KeyPath(key, &path)) {
        return ERROR_INVALID_HANDLE;
    }
    if (subKey != nullptr && subKey[0] != '\0') {
        std::string tail = CanonicalKeyPath(subKey);
        if (!tail.empty()) {
            path += "\\" + tail;
        }
    }
    RegistryContents contents = LoadRegistry();
    if (!KeyExists(contents, path)) {
        return ERROR_FILE_NOT_FOUND;
    }
    OpenKeyTable& table = Keys();
    if (table.keys.size() >= MAX_OPEN_KEYS) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    uintptr_t handle = table.nextHandle++;
    table.keys[handle] = OpenKey{path, contents[path]};
    *result = reinterpret_cast<HKEY>(handle);
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD /*reserved*/, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize) {
    const RegistryKeyValues* values = nullptr;
    RegistryContents rootContents;
    auto& keys = Keys().keys;
    if (auto found = keys.find(reinterpret_cast<uintptr_t>(key)); found != keys.end()) {
        values = &found->second.values;
    } else if (const char* root = PredefinedKeyName(key)) {
        rootContents = LoadRegistry();
        values = &rootContents[root];
    } else {
        return ERROR_INVALID_HANDLE;
    }
    if (data != nullptr && dataSize == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    // The unnamed value is the key's default value, named "" here.
    std::string name = valueName != nullptr ? CanonicalValueName(valueName) : std::string();
    auto value = values->find(name);
    if (value == values->end()) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (type != nullptr) {
        *type = REG_SZ;
    }
    const std::string& text = value->second;
    DWORD needed = static_cast<DWORD>(text.size() + 1); // with the terminator
    if (dataSize == nullptr) {
        return ERROR_SUCCESS;
    }
    if (data == nullptr) {
        *dataSize = needed; // a size query
        return ERROR_SUCCESS;
    }
    if (*dataSize < needed) {
        *dataSize = needed; // nothing is written: the caller learns the size and asks again
        return ERROR_MORE_DATA;
    }
    std::memcpy(data, text.c_str(), needed);
    *dataSize = needed;
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    if (PredefinedKeyName(key) != nullptr) {
        return ERROR_SUCCESS;
    }
    return Keys().keys.erase(reinterpret_cast<uintptr_t>(key)) == 1 ? ERROR_SUCCESS
                                                                    : ERROR_INVALID_HANDLE;
}
