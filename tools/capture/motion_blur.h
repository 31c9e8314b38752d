// Motion blur: the average of a kept frame's sub-frames, summed in 32 bits a channel so that
// nothing is rounded until the end. A channel that is the same in every sub-frame comes back
// exactly; any other lies between its lowest and highest value.
#pragma once

#include <cstdint>
#include <vector>

#include "frame_queue.h"

namespace capture {

class SubFrameSum {
public:
    // Adds a sub-frame: `width` x `height` RGBA pixels, rows `pitch` bytes apart. Every
    // sub-frame of one sum has one size.
    void Add(const uint8_t* rgba, int width, int height, int pitch);
    // Writes the average of the sub-frames added into `frame` (its size and pixels; alpha 255)
    // and starts a new sum.
    void TakeAverage(Frame* frame);
    int Count() const { return count_; }

private:
    std::vector<uint32_t> sums_; // red, green, blue
    int width_ = 0;
    int height_ = 0;
    int count_ = 0;
};

} // namespace capture
