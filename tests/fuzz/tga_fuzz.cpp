// libFuzzer target: arbitrary bytes read as a TGA file through a memory stream, as the texture
// store reads one through a file.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "texture/tga_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0; // fmemopen refuses an empty buffer; an empty file is covered by the tests
    }
    FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (stream == nullptr) {
        return 0;
    }
    TgaImage image;
    if (SUCCEEDED(ReadTgaImage(stream, image))) {
        // Touch every word: each must have been written.
        volatile DWORD sum = 0;
        for (size_t i = 0; i < size_t{image.width} * image.height; ++i) {
            sum = sum + image.pixels[i];
        }
    }
    std::fclose(stream);
    return 0;
}
