#include "platform/win32/gdi_dib.h"

#include "platform/win32/gdi_objects.h"

HBITMAP CreateDibSectionFromBmp(const void* data, size_t size, uint64_t maxPixels) {
    DecodedBitmap image;
    if (!DecodeBmp(static_cast<const uint8_t*>(data), size, image, maxPixels).ok) {
        return nullptr;
    }
    return RegisterGdiBitmap(std::move(image));
}
