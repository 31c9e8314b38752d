// LoadImageA for bitmaps: BMP files read whole into memory, decoded, kept as DIB sections.
#include <cstdio>
#include <vector>

#include "platform/win32/gdi_dib.h"
#include "platform/win32/kernel.h"

namespace {

// The largest BMP the decoder accepts (BMP_MAX_PIXELS at 32 bits, rows padded, headers and a full
// colour table) is a little over 64 MiB; anything much larger is refused unread.
constexpr long BMP_MAX_FILE_BYTES = 80L << 20;

bool ReadWholeFile(FILE* file, std::vector<uint8_t>& bytes) {
    if (std::fseek(file, 0, SEEK_END) != 0) {
        return false;
    }
    const long size = std::ftell(file);
    if (size < 0 || size > BMP_MAX_FILE_BYTES || std::fseek(file, 0, SEEK_SET) != 0) {
        return false;
    }
    bytes.resize(static_cast<size_t>(size));
    return std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

} // namespace

// Every bitmap is made a DIB section, with or without LR_CREATEDIBSECTION: there is no display
// device whose format a device-dependent bitmap could take. Only the file's own size is offered;
// a request to stretch to cx x cy is refused.
HANDLE LoadImageA(HINSTANCE /*instance*/, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
    if (type != IMAGE_BITMAP || name == nullptr || cx != 0 || cy != 0) {
        return nullptr;
    }
    if ((flags & LR_LOADFROMFILE) == 0) {
        return nullptr; // the program carries no bitmap resources
    }
    FILE* file = PlatformOpenFile(name, "rb");
    if (file == nullptr) {
        return nullptr;
    }
    std::vector<uint8_t> bytes;
    const bool read = ReadWholeFile(file, bytes);
    std::fclose(file);
    if (!read) {
        return nullptr;
    }
    return CreateDibSectionFromBmp(bytes.data(), bytes.size());
}
