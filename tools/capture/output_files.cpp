#include "output_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace capture {

namespace {

// The process's umask, read once: new files get 0666 without it, as open() would give them.
mode_t FileMode() {
    static const mode_t mode = [] {
        const mode_t mask = umask(0);
        umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The longest file name the folder's file system takes.
size_t NameLimit(const std::string& folder) {
    const long limit = pathconf(folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? size_t(limit) : NAME_MAX;
}

// At most `bytes` bytes of `name`, cut where no UTF-8 character is split.
std::string CutName(const std::string& name, size_t bytes) {
    if (name.size() <= bytes) {
        return name;
    }
    size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) {
        --end;
    }
    return name.substr(0, end);
}

} // namespace

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string CreateTemporaryBeside(const std::string& finalPath, const std::string& suffix, int* fd,
                                  std::string* error) {
    FileMode(); // read the umask before any thread can create files
    const std::string folder = FolderOf(finalPath);
    const std::string base = BaseName(finalPath);
    const size_t limit = NameLimit(folder);
    if (base.size() > limit) {
        errno = ENAMETOOLONG;
        *error = SystemError("cannot write " + finalPath);
        return "";
    }
    // The hidden name carries as much of the final one as fits, so that any name the folder
    // takes can be written this way.
    const std::string marker = ".partial-XXXXXX" + suffix;
    const std::string kept = CutName(base, limit - std::min(limit, 1 + marker.size()));
    std::string pattern = folder + "/." + kept + marker;
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    *fd = mkstemps(name.data(), static_cast<int>(suffix.size()));
    if (*fd < 0) {
        *error = SystemError("cannot write in " + folder);
        return "";
    }
    return std::string(name.data());
}

bool CommitTemporary(const std::string& temporaryPath, const std::string& finalPath,
                     std::string* error) {
    if (chmod(temporaryPath.c_str(), FileMode()) != 0 ||
        std::rename(temporaryPath.c_str(), finalPath.c_str()) != 0) {
        *error = SystemError("cannot put " + finalPath + " in place");
        unlink(temporaryPath.c_str());
        return false;
    }
    return true;
}

} // namespace capture
