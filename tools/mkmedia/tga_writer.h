// Encodes a picture with alpha as a run-length Truevision TGA file (image type 10, 32 bits per
// pixel, blue-green-red-alpha). Rows are stored top to bottom (descriptor 0x28: origin bit set,
// eight alpha bits); every row starts a new packet, as readers that decode row by row require.
#pragma once

#include "image.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace mkmedia {

// alpha holds width x height values in 0..1, row 0 first. imageId is stored in the header's
// identification field (at most 255 bytes are kept).
std::vector<uint8_t> EncodeTgaRle32(const RgbImage& image, const std::vector<double>& alpha,
                                    std::string_view imageId);

} // namespace mkmedia
