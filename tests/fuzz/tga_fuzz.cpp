// libFuzzer target: arbitrary bytes read as a TGA file through a memory stream, as the texture
// store reads one through a file.
//
// Images are limited to 256 x 256 pixels' worth here, far below the program's limit: an 18-byte
// header may claim 16 million pixels, all of which would be allocated and filled, and runs spent
// on that explore nothing the small images do not (the limit checks themselves run either way).
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "texture/tga_reader.h"

namespace {

constexpr DWORD FUZZ_MAX_PIXELS = 256 * 256;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0; // fmemopen refuses an empty buffer; an empty file is covered by the tests
    }
    FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (stream == nullptr) {
        return 0;
    }
    TgaImage image;
    if (SUCCEEDED(ReadTgaImage(stream, image, FUZZ_MAX_PIXELS))) {
        // Touch every word: each must have been written.
        volatile DWORD sum = 0;
        for (size_t i = 0; i < size_t{image.width} * image.height; ++i) {
            sum = sum + image.pixels[i];
        }
    }
    std::fclose(stream);
    return 0;
}
