// lumenfall-mkmedia <folder>: writes the show's media files into the folder (created if needed).
// Every run writes the same bytes; the build runs it and the tests check the result by hash.
#include "media_catalog.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    // Write beside the target and rename, so an interrupted build never leaves half a file that
    // a later build would take for finished.
    std::filesystem::path temporary = path;
    temporary += ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            return false;
        }
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    return !error;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n",
                     argc > 0 ? argv[0] : "lumenfall-mkmedia");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "lumenfall-mkmedia: cannot create %s: %s\n", folder.c_str(),
                     error.message().c_str());
        return 1;
    }
    for (const mkmedia::MediaFile& file : mkmedia::MediaCatalog()) {
        if (!WriteFile(folder / file.name, file.make())) {
            std::fprintf(stderr, "lumenfall-mkmedia: cannot write %s\n",
                         (folder / file.name).c_str());
            return 1;
        }
    }
    return 0;
}
