// Files that appear whole or not at all: each is written under a hidden temporary name beside
// its final one and renamed into place when complete, so that an interrupted or failed capture
// never leaves a half-written picture or video under the name the user asked for.
#pragma once

#include <string>

namespace capture {

// A new, empty temporary file beside `finalPath` (same folder, so that the rename stays on one
// file system), keeping `suffix` at its end (video tools choose the format by it). Its name is
// cut to fit wherever the final name fits. The file is open: `*fd` is its descriptor. Empty
// (with the reason) when the final name is too long or the folder cannot take a file.
std::string CreateTemporaryBeside(const std::string& finalPath, const std::string& suffix, int* fd,
                                  std::string* error);
// Gives the temporary file the permissions of a newly created file and renames it into place.
bool CommitTemporary(const std::string& temporaryPath, const std::string& finalPath,
                     std::string* error);

bool PathExists(const std::string& path);
bool IsDirectory(const std::string& path);
// The folder part of a path ("." for a bare name).
std::string FolderOf(const std::string& path);
// "what: reason" from errno.
std::string SystemError(const std::string& what);

} // namespace capture
