// GDI object table, bitmap descriptions, memory and surface device contexts, and their states.
#include "platform/win32/gdi_objects.h"

#include <algorithm>
#include <unordered_set>

#include "platform/win32/gdi_dib.h"
#include "platform/win32/gdi_pixels.h"

namespace {

struct GdiTable {
    std::unordered_set<GdiBitmap*> bitmaps;
    std::unordered_set<GdiDevice*> devices;
    GdiBitmap* stockBitmap = nullptr;
};

// Never destroyed: the texture store deletes its bitmaps from its own clean-up at process exit,
// which may run after any destructor of this file's statics would have.
GdiTable& Table() {
    static GdiTable* table = [] {
        auto* created = new GdiTable;
        created->stockBitmap = new GdiBitmap;
        created->stockBitmap->stock = true;
        DecodedBitmap& image = created->stockBitmap->image;
        image.width = 1;
        image.height = 1;
        image.pitch = 4;
        image.bitCount = 1;
        image.colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
        image.bits.reset(static_cast<uint8_t*>(std::calloc(4, 1)));
        created->bitmaps.insert(created->stockBitmap);
        return created;
    }();
    return *table;
}

} // namespace

GdiBitmap* FindGdiBitmap(HGDIOBJ handle) {
    auto* bitmap = reinterpret_cast<GdiBitmap*>(handle);
    return Table().bitmaps.count(bitmap) != 0 ? bitmap : nullptr;
}

GdiDevice* FindGdiDevice(HDC handle) {
    auto* device = reinterpret_cast<GdiDevice*>(handle);
    return Table().devices.count(device) != 0 ? device : nullptr;
}

HBITMAP RegisterGdiBitmap(DecodedBitmap image) {
    auto* bitmap = new GdiBitmap;
    bitmap->image = std::move(image);
    Table().bitmaps.insert(bitmap);
    return reinterpret_cast<HBITMAP>(bitmap);
}

HDC RegisterGdiDevice(GdiDevice device) {
    auto* created = new GdiDevice(device);
    Table().devices.insert(created);
    return reinterpret_cast<HDC>(created);
}

int GetObjectA(HGDIOBJ object, int size, LPVOID out) {
    GdiBitmap* bitmap = FindGdiBitmap(object);
    if (bitmap == nullptr) {
        return 0;
    }
    if (out == nullptr) {
        return static_cast<int>(sizeof(BITMAP));
    }
    if (size <= 0) {
        return 0;
    }
    const DecodedBitmap& image = bitmap->image;
    BITMAP description{};
    description.bmType = 0;
    description.bmWidth = image.width;
    description.bmHeight = image.height;
    description.bmWidthBytes = image.pitch;
    description.bmPlanes = 1;
    description.bmBitsPixel = image.bitCount;
    description.bmBits = image.bits.get();
    const size_t copied = std::min(static_cast<size_t>(size), sizeof(BITMAP));
    std::memcpy(out, &description, copied);
    return static_cast<int>(copied);
}

BOOL DeleteObject(HGDIOBJ object) {
    GdiBitmap* bitmap = FindGdiBitmap(object);
    if (bitmap == nullptr) {
        return FALSE;
    }
    if (bitmap->stock) {
        return TRUE; // stock objects outlive every attempt to delete them
    }
    if (bitmap->selectedInto != nullptr) {
        return FALSE; // still selected into a memory context: deselect or delete that first
    }
    Table().bitmaps.erase(bitmap);
    delete bitmap;
    return TRUE;
}

HDC CreateCompatibleDC(HDC /*dc*/) {
    GdiDevice device;
    device.kind = GdiDevice::Kind::MEMORY;
    device.bitmap = Table().stockBitmap;
    return RegisterGdiDevice(device);
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    GdiDevice* device = FindGdiDevice(dc);
    GdiBitmap* bitmap = FindGdiBitmap(object);
    if (device == nullptr || bitmap == nullptr || device->kind != GdiDevice::Kind::MEMORY) {
        return nullptr;
    }
    if (bitmap->selectedInto != nullptr && bitmap->selectedInto != device) {
        return nullptr;
    }
    GdiBitmap* previous = device->bitmap;
    if (!previous->stock) {
        previous->selectedInto = nullptr;
    }
    if (!bitmap->stock) {
        bitmap->selectedInto = device;
    }
    device->bitmap = bitmap;
    return reinterpret_cast<HGDIOBJ>(previous);
}

BOOL DeleteDC(HDC dc) {
    GdiDevice* device = FindGdiDevice(dc);
    if (device == nullptr || device->kind != GdiDevice::Kind::MEMORY) {
        return FALSE; // a surface's context goes back through ReleaseDC
    }
    if (!device->bitmap->stock) {
        device->bitmap->selectedInto = nullptr;
    }
    Table().devices.erase(device);
    delete device;
    return TRUE;
}

UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colors) {
    GdiDevice* device = FindGdiDevice(dc);
    if (device == nullptr || device->kind != GdiDevice::Kind::MEMORY || colors == nullptr) {
        return 0;
    }
    const DecodedBitmap& image = device->bitmap->image;
    if (image.bitCount > 8 || start >= image.colors.size()) {
        return 0;
    }
    const UINT copied = std::min<UINT>(count, static_cast<UINT>(image.colors.size()) - start);
    std::copy_n(image.colors.begin() + start, copied, colors);
    return copied;
}

HDC CreateSurfaceDC(const PixelView& view) {
    if (!IsUsableView(view)) {
        return nullptr;
    }
    GdiDevice device;
    device.kind = GdiDevice::Kind::SURFACE;
    device.view = view;
    return RegisterGdiDevice(device);
}

void DeleteSurfaceDC(HDC dc) {
    GdiDevice* device = FindGdiDevice(dc);
    if (device == nullptr || device->kind != GdiDevice::Kind::SURFACE) {
        return;
    }
    Table().devices.erase(device);
    delete device;
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
    GdiDevice* device = FindGdiDevice(dc);
    if (device == nullptr) {
        return 0xFFFFFFFF; // CLR_INVALID
    }
    const COLORREF previous = device->textColor;
    device->textColor = color;
    return previous;
}

int SetBkMode(HDC dc, int mode) {
    GdiDevice* device = FindGdiDevice(dc);
    if (device == nullptr || (mode != TRANSPARENT && mode != OPAQUE)) {
        return 0;
    }
    const int previous = device->backgroundMode;
    device->backgroundMode = mode;
    return previous;
}
