// The module's resources: registered by the program, looked up by id or "#id" name. Each
// resource keeps its address for the whole run (re-registering an id replaces the content in
// place), so handles that point at them stay valid.
#include <cstdlib>
#include <map>
#include <memory>

#include "platform/win32/resource_handles.h"

namespace {

template <class T> using ResourceMap = std::map<int, std::unique_ptr<T>>;

struct ResourceTables {
    ResourceMap<IconResource> icons;
    ResourceMap<std::vector<ACCEL>> accelerators;
    ResourceMap<DialogTemplate> dialogs;
};

ResourceTables& Tables() {
    static ResourceTables tables;
    return tables;
}

template <class T> void Register(ResourceMap<T>& map, int id, T value) {
    auto& slot = map[id];
    if (slot) {
        *slot = std::move(value);
    } else {
        slot = std::make_unique<T>(std::move(value));
    }
}

// Integer names, and string names of the form "#101", name numbered resources. This program has
// no resources with other string names.
bool ResourceId(LPCSTR name, int* id) {
    if (name == nullptr) {
        return false;
    }
    if (IS_INTRESOURCE(name)) {
        *id = static_cast<int>(reinterpret_cast<ULONG_PTR>(name));
        return true;
    }
    if (name[0] != '#' || name[1] < '0' || name[1] > '9') {
        return false;
    }
    char* end = nullptr;
    long value = std::strtol(name + 1, &end, 10);
    if (*end != '\0' || value > 0xFFFF) {
        return false;
    }
    *id = static_cast<int>(value);
    return true;
}

template <class T> const T* Find(const ResourceMap<T>& map, LPCSTR name) {
    int id = 0;
    if (!ResourceId(name, &id)) {
        return nullptr;
    }
    auto found = map.find(id);
    return found == map.end() ? nullptr : found->second.get();
}

template <class T> const T* FromHandle(const ResourceMap<T>& map, const void* handle) {
    for (const auto& entry : map) {
        if (entry.second.get() == handle) {
            return entry.second.get();
        }
    }
    return nullptr;
}

} // namespace

void RegisterIconResource(int id, IconResource icon) {
    // An icon whose pixel count does not match its size would be read past its end.
    if (icon.width <= 0 || icon.height <= 0 ||
        icon.pixels.size() != static_cast<size_t>(icon.width) * static_cast<size_t>(icon.height)) {
        return;
    }
    Register(Tables().icons, id, std::move(icon));
}

void RegisterAcceleratorResource(int id, std::vector<ACCEL> table) {
    Register(Tables().accelerators, id, std::move(table));
}

void RegisterDialogResource(int id, DialogTemplate dialog) {
    Register(Tables().dialogs, id, std::move(dialog));
}

const IconResource* FindIconResource(LPCSTR name) {
    return Find(Tables().icons, name);
}

const std::vector<ACCEL>* FindAcceleratorResource(LPCSTR name) {
    return Find(Tables().accelerators, name);
}

const DialogTemplate* FindDialogResource(LPCSTR name) {
    return Find(Tables().dialogs, name);
}

const IconResource* IconFromHandle(HICON icon) {
    return FromHandle(Tables().icons, icon);
}

const std::vector<ACCEL>* AcceleratorsFromHandle(HACCEL table) {
    return FromHandle(Tables().accelerators, table);
}
