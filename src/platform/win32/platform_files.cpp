// PlatformOpenFile: the one place where the program's paths meet the file system.
//
// The program joins paths with backslashes and names files without regard to case, as its
// platform allows. Here backslashes become slashes; a file to be read that does not exist under
// the exact name is looked for once more with each path component matched regardless of case.
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include <dirent.h>

#include "platform/win32/kernel.h"

namespace {

// Paths longer than the platform's own limit are refused rather than walked.
constexpr size_t MAX_PATH_LENGTH = 4096;

FileOpenWatcher fileOpenWatcher = nullptr;

FILE* OpenWatched(const std::string& path, LPCSTR mode) {
    if (fileOpenWatcher != nullptr) {
        fileOpenWatcher(path.c_str());
    }
    return std::fopen(path.c_str(), mode);
}

std::string ToSlashes(const char* path) {
    std::string result(path);
    for (char& c : result) {
        if (c == '\\') {
            c = '/';
        }
    }
    return result;
}

// The entry of `directory` whose name equals `name` regardless of case; empty when none does.
std::string FindEntryIgnoringCase(const std::string& directory, const std::string& name) {
    DIR* dir = opendir(directory.empty() ? "." : directory.c_str());
    if (dir == nullptr) {
        return {};
    }
    std::string found;
    while (dirent* entry = readdir(dir)) {
        if (strcasecmp(entry->d_name, name.c_str()) == 0) {
            found = entry->d_name;
            break;
        }
    }
    closedir(dir);
    return found;
}

// Rebuilds `path` from the real names of its components; empty when a component is missing.
std::string ResolveIgnoringCase(const std::string& path) {
    std::string resolved;
    size_t start = 0;
    if (!path.empty() && path[0] == '/') {
        resolved = "/";
        start = 1;
    }
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        std::string component = path.substr(start, end - start);
        start = end + 1;
        if (component.empty() || component == "." || component == "..") {
            if (!component.empty()) {
                resolved += component + "/";
            }
            continue;
        }
        std::string real = FindEntryIgnoringCase(resolved, component);
        if (real.empty()) {
            return {};
        }
        resolved += real;
        if (end < path.size()) {
            resolved += "/";
        }
    }
    return resolved;
}

} // namespace

FILE* PlatformOpenFile(LPCSTR path, LPCSTR mode) {
    if (path == nullptr || mode == nullptr || path[0] == '\0' ||
        std::strlen(path) > MAX_PATH_LENGTH) {
        errno = EINVAL;
        return nullptr;
    }
    std::string unixPath = ToSlashes(path);
    FILE* file = OpenWatched(unixPath, mode);
    if (file != nullptr || errno != ENOENT || mode[0] != 'r') {
        return file;
    }
    std::string resolved = ResolveIgnoringCase(unixPath);
    if (resolved.empty() || resolved == unixPath) {
        errno = ENOENT;
        return nullptr;
    }
    return OpenWatched(resolved, mode);
}

void SetFileOpenWatcher(FileOpenWatcher watcher) {
    fileOpenWatcher = watcher;
}
