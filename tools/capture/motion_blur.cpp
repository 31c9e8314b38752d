#include "motion_blur.h"

#include <algorithm>

namespace capture {

void SubFrameSum::Add(const uint8_t* rgba, int width, int height, int pitch) {
    if (count_ == 0) {
        width_ = width;
        height_ = height;
        sums_.assign(size_t(width) * size_t(height) * 3, 0);
    }
    uint32_t* sum = sums_.data();
    for (int y = 0; y < height; ++y) {
        const uint8_t* pixel = rgba + size_t(y) * size_t(pitch);
        for (int x = 0; x < width; ++x, pixel += 4, sum += 3) {
            sum[0] += pixel[0];
            sum[1] += pixel[1];
            sum[2] += pixel[2];
        }
    }
    ++count_;
}

void SubFrameSum::TakeAverage(Frame* frame) {
    frame->width = width_;
    frame->height = height_;
    frame->rgba.resize(size_t(width_) * size_t(height_) * 4);
    const uint32_t count = uint32_t(std::max(count_, 1));
    const uint32_t half = count / 2; // rounds to the nearest level
    uint8_t* out = frame->rgba.data();
    for (size_t i = 0, pixels = size_t(width_) * size_t(height_); i < pixels; ++i, out += 4) {
        out[0] = uint8_t((sums_[i * 3 + 0] + half) / count);
        out[1] = uint8_t((sums_[i * 3 + 1] + half) / count);
        out[2] = uint8_t((sums_[i * 3 + 2] + half) / count);
        out[3] = 255;
    }
    count_ = 0;
}

} // namespace capture
