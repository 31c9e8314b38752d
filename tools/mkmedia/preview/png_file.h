// Writes an RgbImage as an 8-bit RGB PNG file (previews only; the show never reads PNG).
#pragma once

#include "image.h"

#include <string>

namespace mkmedia {

bool WritePng(const std::string& path, const RgbImage& image);

} // namespace mkmedia
