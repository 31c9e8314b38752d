#include "image.h"

#include <cmath>

namespace mkmedia {

RgbImage::RgbImage(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height) {}

Rgb RgbImage::At(int x, int y) const {
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

void RgbImage::Set(int x, int y, Rgb c) {
    pixels_[static_cast<size_t>(y) * width_ + x] = c;
}

void RgbImage::Add(int x, int y, Rgb c) {
    Rgb& p = pixels_[static_cast<size_t>(y) * width_ + x];
    p = p + c;
}

uint8_t RgbImage::Byte(int x, int y, int channel) const {
    Rgb c = At(x, y);
    return ToByte(channel == 0 ? c.r : (channel == 1 ? c.g : c.b));
}

uint8_t ToByte(double v) {
    if (!(v > 0.0)) {
        return 0;
    }
    if (v >= 1.0) {
        return 255;
    }
    return static_cast<uint8_t>(std::nearbyint(v * 255.0));
}

} // namespace mkmedia
