// lumenfall-icons: writes the program's icon 101 as the desktop's icon files, one PNG a size in
// the icon theme's layout (FOLDER/NxN/apps/lumenfall.png). It runs at build time, so the icon
// files are always the icon the program's window shows.
#include <png.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "resources/program_resources.h"

namespace {

bool MakeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
            std::fprintf(stderr, "lumenfall-icons: cannot make %s: %s\n", folder.c_str(),
                         std::strerror(errno));
            return false;
        }
        if (slash == std::string::npos) {
            return true;
        }
    }
}

bool WriteIcon(const std::string& path, const IconResource& icon) {
    // 0xAARRGGBB words to R, G, B, A bytes.
    std::vector<png_byte> rgba;
    rgba.reserve(icon.pixels.size() * 4);
    for (DWORD pixel : icon.pixels) {
        for (int shift : {16, 8, 0, 24}) {
            rgba.push_back(static_cast<png_byte>(pixel >> shift));
        }
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(icon.width);
    image.height = static_cast<png_uint_32>(icon.height);
    image.format = PNG_FORMAT_RGBA;
    if (png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr) == 0) {
        std::fprintf(stderr, "lumenfall-icons: cannot write %s: %s\n", path.c_str(), image.message);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: lumenfall-icons FOLDER SIZE...\n");
        return 2;
    }
    const std::string root = argv[1];
    for (int i = 2; i < argc; ++i) {
        char* end = nullptr;
        const long size = std::strtol(argv[i], &end, 10);
        if (end == argv[i] || *end != '\0' || size < 1 || size > PROGRAM_ICON_MAX_SIZE) {
            std::fprintf(stderr, "lumenfall-icons: size \"%s\": 1 to %d pixels\n", argv[i],
                         PROGRAM_ICON_MAX_SIZE);
            return 2;
        }
        const std::string folder =
            root + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
        if (!MakeFolders(folder) ||
            !WriteIcon(folder + "/lumenfall.png", MakeProgramIcon(static_cast<int>(size)))) {
            return 1;
        }
    }
    return 0;
}
