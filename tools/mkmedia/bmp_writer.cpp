#include "bmp_writer.h"

#include "byte_writer.h"

namespace mkmedia {

std::vector<uint8_t> EncodeBmp24(const RgbImage& image) {
    const uint32_t width = static_cast<uint32_t>(image.Width());
    const uint32_t height = static_cast<uint32_t>(image.Height());
    const uint32_t rowBytes = (width * 3 + 3) & ~3u;
    const uint32_t headerBytes = 14 + 40;
    const uint32_t pixelBytes = rowBytes * height;

    std::vector<uint8_t> out;
    out.reserve(headerBytes + pixelBytes);
    // BITMAPFILEHEADER
    PutText(out, "BM");
    PutU32(out, headerBytes + pixelBytes);
    PutU32(out, 0); // reserved
    PutU32(out, headerBytes);
    // BITMAPINFOHEADER; 2835 pixels per metre is 72 dpi, what paint programs of the time wrote.
    PutU32(out, 40);
    PutU32(out, width);
    PutU32(out, height); // positive: bottom-up
    PutU16(out, 1);      // planes
    PutU16(out, 24);     // bits per pixel
    PutU32(out, 0);      // BI_RGB
    PutU32(out, pixelBytes);
    PutU32(out, 2835);
    PutU32(out, 2835);
    PutU32(out, 0); // colours used
    PutU32(out, 0); // colours important

    for (uint32_t row = 0; row < height; ++row) {
        const int y = static_cast<int>(height - 1 - row);
        for (uint32_t x = 0; x < width; ++x) {
            PutU8(out, image.Byte(static_cast<int>(x), y, 2));
            PutU8(out, image.Byte(static_cast<int>(x), y, 1));
            PutU8(out, image.Byte(static_cast<int>(x), y, 0));
        }
        for (uint32_t pad = width * 3; pad < rowBytes; ++pad) {
            PutU8(out, 0);
        }
    }
    return out;
}

} // namespace mkmedia
