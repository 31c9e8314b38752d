// Encodes a picture as a 24-bit Windows bitmap file: BITMAPFILEHEADER + BITMAPINFOHEADER, BI_RGB,
// rows stored bottom-up in blue-green-red order and padded to four bytes.
#pragma once

#include "image.h"

#include <cstdint>
#include <vector>

namespace mkmedia {

std::vector<uint8_t> EncodeBmp24(const RgbImage& image);

} // namespace mkmedia
