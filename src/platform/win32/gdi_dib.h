// DIB sections from BMP bytes already in memory: what LoadImageA does once it has read a file.
// Tests and the fuzz target use it to reach the decoder without touching the disk.
#pragma once

#include <cstddef>

#include "platform/win32/bmp_decoder.h"
#include "platform/win32/gdi.h"

// Null when the bytes are not a BMP image this platform reads (see bmp_decoder.h), or hold more
// than `maxPixels` pixels.
HBITMAP CreateDibSectionFromBmp(const void* data, size_t size, uint64_t maxPixels = BMP_MAX_PIXELS);
