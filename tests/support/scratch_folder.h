// A fresh empty folder under /tmp for one test, removed with everything in it when the test
// ends, however it ends.
#pragma once

#include <string>
#include <vector>

namespace test_files {

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string operator/(const std::string& name) const { return path + "/" + name; }
    // The names in `folder` (this folder by default), sorted, without "." and ".."; none when
    // it cannot be read.
    std::vector<std::string> Entries(const std::string& folder = "") const;

    std::string path;
};

} // namespace test_files
