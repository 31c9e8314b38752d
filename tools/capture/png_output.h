// Frames as PNG files: 8-bit RGB (the frames are opaque, so alpha is left out), with light
// compression. A frame of the show compresses to about the same size at zlib level 1 as at the
// default level 6, in a fraction of the time (see bench/capture_rate.sh).
#pragma once

#include <string>

#include "frame_queue.h"

namespace capture {

constexpr int PNG_COMPRESSION_LEVEL = 1;

// Writes the frame to `path` through a temporary file beside it; on failure nothing is left.
bool SavePngFile(const std::string& path, const Frame& frame, std::string* error);

} // namespace capture
