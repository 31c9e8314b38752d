// Reads a whole file into memory, at most xfile::MAX_FILE_BYTES.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win32/types.h"

namespace xfile {

// DXFILEERR_FILENOTFOUND when the file cannot be opened, DXFILEERR_BADFILE when it cannot be
// read or is larger than the limit. The path may use backslashes.
HRESULT ReadWholeFile(LPCSTR path, std::vector<uint8_t>& bytes);

} // namespace xfile
