// The store's list: adding, finding, removing and destroying entries.
#include "texture/texture_store.h"

#include <cstring>
#include <new>

#include "platform/win32/gdi.h"
#include "platform/win32/kernel.h"

TextureStore textureStore;

namespace {

// Releases what the entry owns, unlinks it and frees it.
void DestroyEntry(TextureEntry* entry) {
    if (entry->surface != nullptr) {
        entry->surface->Release();
        entry->surface = nullptr;
    }
    delete[] entry->pixels;
    entry->pixels = nullptr;
    if (entry->bitmap != nullptr) {
        DeleteObject(entry->bitmap);
        entry->bitmap = nullptr;
    }
    TextureEntry** link = &textureStore.head;
    while (*link != nullptr && *link != entry) {
        link = &(*link)->next;
    }
    if (*link == entry) {
        *link = entry->next;
    }
    delete entry;
}

} // namespace

// All entries, not only the head: the rest would end with the process anyway, but leak checkers
// rightly count them.
TextureStore::~TextureStore() {
    while (head != nullptr) {
        DestroyEntry(head);
    }
}

TextureEntry* FindTexture(LPCSTR name) {
    if (name == nullptr) {
        return nullptr;
    }
    for (TextureEntry* entry = textureStore.head; entry != nullptr; entry = entry->next) {
        if (lstrcmpiA(entry->name, name) == 0) {
            return entry;
        }
    }
    return nullptr;
}

HRESULT AddTexture(LPCSTR name, DWORD stage, DWORD flags) {
    if (name == nullptr || std::strlen(name) > TEXTURE_NAME_MAX) {
        return E_INVALIDARG;
    }
    if (FindTexture(name) != nullptr) {
        return S_OK;
    }
    auto* entry = new (std::nothrow) TextureEntry{};
    if (entry == nullptr) {
        return E_OUTOFMEMORY;
    }
    lstrcpynA(entry->name, name, TEXTURE_NAME_SIZE);
    entry->stage = stage;
    entry->flags = flags;
    entry->next = textureStore.head;
    textureStore.head = entry;

    if (FAILED(LoadImageData(*entry))) {
        DestroyEntry(entry);
        return E_FAIL;
    }
    if (entry->bitmap != nullptr) {
        BITMAP description{};
        GetObjectA(entry->bitmap, sizeof(description), &description);
        entry->width = static_cast<DWORD>(description.bmWidth);
        entry->height = static_cast<DWORD>(description.bmHeight);
        entry->bitsPerPixel = description.bmBitsPixel;
    }
    return S_OK;
}

HRESULT RemoveTexture(LPCSTR name) {
    if (TextureEntry* entry = FindTexture(name)) {
        DestroyEntry(entry);
    }
    return S_OK;
}

IDirectDrawSurface7* GetTextureSurface(LPCSTR name) {
    TextureEntry* entry = FindTexture(name);
    return entry != nullptr ? entry->surface : nullptr;
}
