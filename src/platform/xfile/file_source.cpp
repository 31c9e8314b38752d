#include "platform/xfile/file_source.h"

#include <cstdio>
#include <memory>

#include "platform/win32/kernel.h"
#include "platform/xfile/dxfile.h"
#include "platform/xfile/xfile_limits.h"

namespace xfile {

HRESULT ReadWholeFile(LPCSTR path, std::vector<uint8_t>& bytes) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(PlatformOpenFile(path, "rb"), &std::fclose);
    if (file == nullptr) {
        return DXFILEERR_FILENOTFOUND;
    }
    // Read in chunks rather than trusting a size asked for up front: the file may be a pipe or
    // change while it is read, and the cap must hold either way.
    bytes.clear();
    constexpr size_t CHUNK = 64 * 1024;
    for (;;) {
        size_t used = bytes.size();
        if (used > MAX_FILE_BYTES) {
            return DXFILEERR_BADFILE;
        }
        bytes.resize(used + CHUNK);
        size_t got = std::fread(bytes.data() + used, 1, CHUNK, file.get());
        bytes.resize(used + got);
        if (got < CHUNK) {
            break;
        }
    }
    if (std::ferror(file.get()) != 0 || bytes.size() > MAX_FILE_BYTES) {
        return DXFILEERR_BADFILE;
    }
    return DXFILE_OK;
}

} // namespace xfile
