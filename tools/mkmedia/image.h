// A floating-point RGB picture, the canvas every artwork is painted on before it is turned into
// bytes. Channels are linear light in 0..1 (values above 1 are allowed while painting and clip
// when the picture is encoded). Row 0 is the top row.
#pragma once

#include <cstdint>
#include <vector>

namespace mkmedia {

struct Rgb {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

inline Rgb operator+(Rgb a, Rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Rgb operator*(Rgb a, double s) {
    return {a.r * s, a.g * s, a.b * s};
}
inline Rgb operator*(Rgb a, Rgb b) {
    return {a.r * b.r, a.g * b.g, a.b * b.b};
}
// A colour from 8-bit components, for readable palettes.
inline Rgb Rgb8(int r, int g, int b) {
    return {r / 255.0, g / 255.0, b / 255.0};
}

class RgbImage {
public:
    RgbImage() = default;
    RgbImage(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgb At(int x, int y) const;
    void Set(int x, int y, Rgb c);
    void Add(int x, int y, Rgb c);

    // 8-bit value of one channel (0 red, 1 green, 2 blue), clipped and rounded.
    uint8_t Byte(int x, int y, int channel) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Rgb> pixels_;
};

// Clips to 0..1 and rounds to the nearest of 256 levels.
uint8_t ToByte(double v);

} // namespace mkmedia
