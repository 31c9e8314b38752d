#include "output_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
    std::string pattern = folder + "/." + BaseName(finalPath) + ".partial-XXXXXX" + suffix;
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
