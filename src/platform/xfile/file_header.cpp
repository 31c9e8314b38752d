#include "platform/xfile/file_header.h"

#include <cstring>

#include "platform/xfile/dxfile.h"

namespace xfile {

namespace {

bool FieldIs(const uint8_t* field, const char* expected) {
    return std::memcmp(field, expected, 4) == 0;
}

} // namespace

HRESULT ParseFileHeader(const uint8_t* data, size_t size, FileFormat& format) {
    if (data == nullptr || size < HEADER_BYTES) {
        return DXFILEERR_BADFILETYPE;
    }
    if (!FieldIs(data, "xof ")) {
        return DXFILEERR_BADFILETYPE;
    }
    // Major version 03; minor 02 and 03 differ in nothing this reader sees.
    if (std::memcmp(data + 4, "03", 2) != 0 ||
        (std::memcmp(data + 6, "02", 2) != 0 && std::memcmp(data + 6, "03", 2) != 0)) {
        return DXFILEERR_BADFILEVERSION;
    }
    const uint8_t* kind = data + 8;
    if (FieldIs(kind, "txt ")) {
        format.binary = false;
    } else if (FieldIs(kind, "bin ")) {
        format.binary = true;
    } else if (FieldIs(kind, "tzip") || FieldIs(kind, "bzip")) {
        // The compressed layout is known only from descriptions that disagree on details; a
        // wrong guess would read garbage as geometry, so these files are refused outright.
        return DXFILEERR_BADFILECOMPRESSIONTYPE;
    } else {
        return DXFILEERR_BADFILETYPE;
    }
    const uint8_t* floatSize = data + 12;
    if (FieldIs(floatSize, "0032")) {
        format.floatBytes = 4;
    } else if (FieldIs(floatSize, "0064")) {
        format.floatBytes = 8;
    } else {
        return DXFILEERR_BADFILEFLOATSIZE;
    }
    return S_OK;
}

} // namespace xfile
