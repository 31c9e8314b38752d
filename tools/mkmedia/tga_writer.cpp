#include "tga_writer.h"

#include "byte_writer.h"

#include <array>

namespace mkmedia {
namespace {

using Pixel = std::array<uint8_t, 4>; // blue, green, red, alpha: the file's order

constexpr uint8_t TGA_TYPE_RLE_TRUECOLOR = 10;
constexpr uint8_t TGA_DESC_TOP_DOWN = 0x20;
constexpr uint8_t TGA_DESC_ALPHA_BITS = 8;
constexpr int TGA_MAX_PACKET = 128;

void PutPixel(std::vector<uint8_t>& out, const Pixel& p) {
    out.insert(out.end(), p.begin(), p.end());
}

// Runs of two or more equal pixels become run packets; everything between them goes into raw
// packets. A pair is worth a run packet: it costs 5 bytes either way and ends a raw packet early.
void EncodeRow(std::vector<uint8_t>& out, const std::vector<Pixel>& row) {
    const int n = static_cast<int>(row.size());
    int i = 0;
    while (i < n) {
        int run = 1;
        while (i + run < n && run < TGA_MAX_PACKET && row[i + run] == row[i]) {
            ++run;
        }
        if (run >= 2) {
            PutU8(out, 0x80 | (run - 1));
            PutPixel(out, row[i]);
            i += run;
            continue;
        }
        int raw = 1;
        while (i + raw < n && raw < TGA_MAX_PACKET &&
               !(i + raw + 1 < n && row[i + raw] == row[i + raw + 1])) {
            ++raw;
        }
        PutU8(out, raw - 1);
        for (int k = 0; k < raw; ++k) {
            PutPixel(out, row[i + k]);
        }
        i += raw;
    }
}

} // namespace

std::vector<uint8_t> EncodeTgaRle32(const RgbImage& image, const std::vector<double>& alpha,
                                    std::string_view imageId) {
    if (imageId.size() > 255) {
        imageId = imageId.substr(0, 255);
    }
    const int width = image.Width();
    const int height = image.Height();
    std::vector<uint8_t> out;
    PutU8(out, static_cast<uint32_t>(imageId.size()));
    PutU8(out, 0); // no colour map
    PutU8(out, TGA_TYPE_RLE_TRUECOLOR);
    for (int i = 0; i < 5; ++i) {
        PutU8(out, 0); // colour-map fields
    }
    PutU16(out, 0); // x origin
    PutU16(out, 0); // y origin
    PutU16(out, static_cast<uint32_t>(width));
    PutU16(out, static_cast<uint32_t>(height));
    PutU8(out, 32);
    PutU8(out, TGA_DESC_TOP_DOWN | TGA_DESC_ALPHA_BITS);
    PutText(out, imageId);

    std::vector<Pixel> row(static_cast<size_t>(width));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            row[x] = {image.Byte(x, y, 2), image.Byte(x, y, 1), image.Byte(x, y, 0),
                      ToByte(alpha[static_cast<size_t>(y) * width + x])};
        }
        EncodeRow(out, row);
    }
    return out;
}

} // namespace mkmedia
