// The texture store: the process-wide list of named textures, each loaded once from a BMP or
// TGA file (in the working directory, else in the media folder named by the registry) and kept
// for the whole run, so that device textures can be rebuilt from memory whenever the 3D device
// changes (see texture_surfaces.h).
//
// Names are compared regardless of case; an entry keeps the spelling it was added with. Names of
// more than TEXTURE_NAME_MAX characters are refused (never cut: two long names differing only at
// the end would otherwise share one entry), and a media folder too long for a search path is
// skipped as if the file were not there. Models name textures too, and a model is untrusted: a
// name that would leave the two folders (absolute, or with a ".." component) is not looked for
// and counts as missing.
#pragma once

#include "platform/ddraw/ddraw.h"
#include "platform/win32/types.h"

// TextureEntry::flags
constexpr DWORD TEXFLAG_TRANSPARENT_WHITE = 1; // white becomes transparent, the rest opaque
constexpr DWORD TEXFLAG_TRANSPARENT_BLACK = 2; // black becomes transparent, the rest opaque
constexpr DWORD TEXFLAG_32BIT = 4;             // ask for a 32-bit format
constexpr DWORD TEXFLAG_16BIT = 8;             // ask for a 16-bit format; wins over 32

constexpr int TEXTURE_NAME_SIZE = 80; // the name field, terminator included
constexpr int TEXTURE_NAME_MAX = TEXTURE_NAME_SIZE - 1;
constexpr int TEXTURE_PATH_SIZE = 256; // search paths, terminator included

struct TextureEntry {
    TextureEntry* next;
    char name[TEXTURE_NAME_SIZE];
    DWORD width;
    DWORD height;
    DWORD stage;
    DWORD bitsPerPixel; // BMP: the bitmap's; TGA: the header's
    DWORD flags;
    IDirectDrawSurface7* surface; // one reference held; null until restored for a device
    HBITMAP bitmap;               // BMP images (a DIB section); null for TGA
    DWORD* pixels;                // TGA images: width x height words 0xRRGGBBAA, row 0 on top
};

// The single store. Entries are linked in at the head, so walks meet the newest first. Its
// destructor, at process exit, destroys every entry still held.
class TextureStore {
public:
    TextureStore() = default;
    ~TextureStore();
    TextureStore(const TextureStore&) = delete;
    TextureStore& operator=(const TextureStore&) = delete;

    TextureEntry* head = nullptr;
};
extern TextureStore textureStore;

// Adds and loads a texture. S_OK also when the name is already held (nothing changes then);
// E_INVALIDARG for a null or over-long name; E_OUTOFMEMORY; E_FAIL when the image cannot
// be found or loaded, in which case the store is left as it was.
HRESULT AddTexture(LPCSTR name, DWORD stage, DWORD flags);
TextureEntry* FindTexture(LPCSTR name);
// Destroys the named entry, if any. Always S_OK.
HRESULT RemoveTexture(LPCSTR name);
// The entry's surface, borrowed (no reference added); null when there is none.
IDirectDrawSurface7* GetTextureSurface(LPCSTR name);

// The media folder, ending in a backslash ("<registry value>\Marlow\Media\"), or "" when the
// registry has no value. One static buffer, overwritten by every call.
LPCSTR GetMediaPath();

// The loading steps, public for the tests: the search for the file and the choice of loader by
// the name's extension; the two loaders fill the entry's image fields from a path that opened.
HRESULT LoadImageData(TextureEntry& entry);
HRESULT LoadBmpFile(TextureEntry& entry, LPCSTR path);
HRESULT LoadTgaFile(TextureEntry& entry, LPCSTR path);
