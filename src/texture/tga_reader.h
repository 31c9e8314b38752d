// The TGA subset the texture store reads: true-colour images, uncompressed (type 2) or
// run-length encoded (type 10), 24 or 32 bits per pixel, no colour map, either row order.
//
// Pixels come out as 0xRRGGBBAA words, row 0 at the top. Reading follows the file without testing
// for its end: bytes past the end read as 0, so a short file still fills the whole array (its
// missing pixels black, opaque in a 24-bit file and transparent in a 32-bit one).
#pragma once

#include <cstdio>
#include <memory>

#include "platform/win32/types.h"

// Images larger than 4096 x 4096 pixels (in any shape up to 16384 on a side) are refused: the
// header alone decides the allocation, even for a file of a few bytes.
constexpr DWORD TGA_MAX_SIDE = 16384;
constexpr DWORD TGA_MAX_PIXELS = DWORD{1} << 24;

struct TgaImage {
    DWORD width = 0;
    DWORD height = 0;
    DWORD bitsPerPixel = 0;
    std::unique_ptr<DWORD[]> pixels; // width x height words, at least one
};

// Reads from the file's current position; the caller opens and closes it. E_FAIL for a colour
// map, an image type other than 2 and 10, a depth other than 24 and 32, a size beyond the limits
// (more than `maxPixels` pixels among them), or no memory. Fuzzing passes a smaller pixel budget:
// what it explores is the file's structure, and every pixel costs it time.
HRESULT ReadTgaImage(FILE* file, TgaImage& image, DWORD maxPixels = TGA_MAX_PIXELS);
