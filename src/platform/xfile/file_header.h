// The 16-byte header every .X file and template block starts with: "xof ", version "0302" or
// "0303", format "txt " or "bin ", float size "0032" or "0064".
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32/types.h"

namespace xfile {

constexpr size_t HEADER_BYTES = 16;

struct FileFormat {
    bool binary = false;
    // Bytes per value in binary float lists: 4 or 8.
    unsigned floatBytes = 4;
};

// Checks every field. Compressed formats are recognised and refused
// (DXFILEERR_BADFILECOMPRESSIONTYPE); anything else unknown gets the error of its field.
HRESULT ParseFileHeader(const uint8_t* data, size_t size, FileFormat& format);

} // namespace xfile
