// The BMP decoder behind LoadImageA: file bytes in, a device-independent bitmap out.
//
// Reads the Windows formats (BITMAPINFOHEADER and its V2 to V5 extensions, the OS/2 core header)
// at 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed, run-length encoded (RLE8, RLE4) or by
// bit fields, stored bottom-up or top-down. Pixels keep their depth; run-length images come out
// as plain 8- or 4-bit indices. Every header field and size is checked before anything is
// allocated; a file that fails a check is refused with a reason, never read past its end.
//
// It does not do: JPEG or PNG payloads, OS/2 2.x headers, Huffman or RLE24 compression, alpha.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/win32/gdi.h"

// Largest side and largest pixel count accepted. The count bounds what a tiny run-length file
// can make us allocate (its runs and skips can claim any size); 4096 x 4096 is far beyond any
// texture this program uses.
constexpr int32_t BMP_MAX_SIDE = 16384;
constexpr uint64_t BMP_MAX_PIXELS = uint64_t{1} << 24;

// Pixel memory comes from calloc, so that a large image whose runs skip most of it costs no more
// than the pages it touches.
struct FreeDeleter {
    void operator()(void* memory) const { std::free(memory); }
};

// Pixels in memory, rows top to bottom (row 0 is the top of the picture whatever the file's
// order), each row `pitch` bytes, padded to 4 bytes as the file's rows are.
struct DecodedBitmap {
    int32_t width = 0;
    int32_t height = 0;
    int32_t pitch = 0;
    uint16_t bitCount = 0; // 1, 4, 8, 16, 24 or 32
    // Masks of the direct-colour depths (16, 24, 32); zero for indexed ones.
    uint32_t redMask = 0;
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;
    // Indexed depths: the file's colour table, at most 2^bitCount entries and possibly fewer;
    // indices past its end stand for black.
    std::vector<RGBQUAD> colors;
    std::unique_ptr<uint8_t[], FreeDeleter> bits;
};

struct BmpDecodeResult {
    bool ok = false;
    const char* error = nullptr; // why the file was refused (static text), null when ok
};

// `maxPixels` can only lower the limit: fuzzing explores the file's structure, and every pixel
// costs it time.
BmpDecodeResult DecodeBmp(const uint8_t* data, size_t size, DecodedBitmap& out,
                          uint64_t maxPixels = BMP_MAX_PIXELS);
