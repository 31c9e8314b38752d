// lumenfall-frame-compare: how far one picture is from another, for the GPU check. A GPU and
// Mesa's software rasteriser round and sample differently, so their frames are compared with a
// tolerance rather than for equality: the mean difference per colour channel, and the share of
// pixels where some channel differs by more than rounding explains.
//
//   lumenfall-frame-compare REFERENCE.png CANDIDATE.png [MAX_MEAN [MAX_SHARE]]
//
// Prints "mean M, over T: S %" and exits 0 within the tolerance (default mean 1.0, share 1 %),
// 1 outside it, 2 when a picture cannot be read or the sizes differ.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Channel differences up to this are rounding and the odd edge pixel.
constexpr int ROUNDING = 12;
constexpr double DEFAULT_MAX_MEAN = 1.0;
constexpr double DEFAULT_MAX_SHARE_PERCENT = 1.0;

struct Picture {
    unsigned width = 0;
    unsigned height = 0;
    std::vector<unsigned char> rgb;
};

bool Load(const char* path, Picture* picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path) == 0) {
        std::fprintf(stderr, "lumenfall-frame-compare: %s: %s\n", path, image.message);
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    picture->width = image.width;
    picture->height = image.height;
    picture->rgb.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, picture->rgb.data(), 0, nullptr) == 0) {
        std::fprintf(stderr, "lumenfall-frame-compare: %s: %s\n", path, image.message);
        return false;
    }
    return true;
}

bool ReadLimit(const char* text, double* limit) {
    char* end = nullptr;
    *limit = std::strtod(text, &end);
    return end != text && *end == '\0' && *limit >= 0;
}

} // namespace

int main(int argc, char** argv) {
    double maxMean = DEFAULT_MAX_MEAN, maxShare = DEFAULT_MAX_SHARE_PERCENT;
    if (argc < 3 || argc > 5 || (argc > 3 && !ReadLimit(argv[3], &maxMean)) ||
        (argc > 4 && !ReadLimit(argv[4], &maxShare))) {
        std::fprintf(stderr, "usage: lumenfall-frame-compare REFERENCE.png CANDIDATE.png "
                             "[MAX_MEAN [MAX_SHARE_PERCENT]]\n");
        return 2;
    }
    Picture reference, candidate;
    if (!Load(argv[1], &reference) || !Load(argv[2], &candidate)) {
        return 2;
    }
    if (reference.width != candidate.width || reference.height != candidate.height) {
        std::fprintf(stderr, "lumenfall-frame-compare: %ux%u against %ux%u\n", reference.width,
                     reference.height, candidate.width, candidate.height);
        return 2;
    }
    double total = 0;
    size_t over = 0;
    for (size_t i = 0; i < reference.rgb.size(); i += 3) {
        bool differs = false;
        for (size_t c = 0; c < 3; ++c) {
            const int difference = std::abs(int(reference.rgb[i + c]) - int(candidate.rgb[i + c]));
            total += difference;
            differs = differs || difference > ROUNDING;
        }
        over += differs ? 1 : 0;
    }
    const size_t pixels = reference.rgb.size() / 3;
    const double mean = pixels == 0 ? 0 : total / double(reference.rgb.size());
    const double share = pixels == 0 ? 0 : 100.0 * double(over) / double(pixels);
    const bool within = mean <= maxMean && share <= maxShare;
    std::printf("mean %.3f, over %d: %.3f %%%s\n", mean, ROUNDING, share,
                within ? "" : "  (outside the tolerance)");
    return within ? 0 : 1;
}
