// Frames as PNG files: 8-bit RGB (the frames are opaque, so alpha is left out), with light
// compression. Measured on frames of the show: zlib level 1 writes a frame four to eight times
// as fast as level 6 with adaptive filters, for files 15 to 25 % larger. A 16-bit frame's few
// distinct colours repeat exactly, so it is both smallest and quickest unfiltered; a 32-bit
// frame's smooth gradients shrink by a tenth or more with the "sub" filter, at the same speed.
#pragma once

#include <string>

#include "frame_queue.h"

namespace capture {

constexpr int PNG_COMPRESSION_LEVEL = 1;

enum class PngFilter { NONE, SUB };

// The filter for frames drawn at `depth` bits.
PngFilter FilterForDepth(int depth);

// Writes the frame to `path` through a temporary file beside it; on failure nothing is left.
bool SavePngFile(const std::string& path, const Frame& frame, PngFilter filter, std::string* error);

} // namespace capture
