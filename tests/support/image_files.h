// Builders of BMP and TGA file bytes for tests, with every header field open to be set wrong.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace test_images {

using Bytes = std::vector<uint8_t>;

struct BmpColor {
    uint8_t r = 0, g = 0, b = 0;
};

struct BmpLayout {
    int32_t width = 1;
    int32_t height = 1; // negative: top-down
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t headerSize = 40; // 12 (core), 40, 52, 56, 108 or 124
    uint16_t planes = 1;
    std::vector<BmpColor> colors; // colour table as written
    int64_t colorsUsed = -1;      // -1: the table's length (0 when empty)
    std::vector<uint32_t> masks;  // red, green, blue: inside the header (52+) or after it (40)
    Bytes pixels;                 // pixel data exactly as stored (padded rows or runs)
    int64_t pixelOffset = -1;     // -1: right after the colour table
};

Bytes BuildBmp(const BmpLayout& layout);

// Rows given top to bottom, each as its unpadded bytes; returns them in file order (bottom-up
// unless topDown) with every row padded to 4 bytes.
Bytes PadRows(const std::vector<Bytes>& rowsTopToBottom, bool topDown = false);

struct TgaLayout {
    uint8_t idLength = 0;
    uint8_t colorMapType = 0;
    uint8_t imageType = 2;
    uint16_t width = 1;
    uint16_t height = 1;
    uint8_t pixelDepth = 24;
    uint8_t descriptor = 0;
    Bytes body; // image ID (if any) and pixel data as stored
};

Bytes BuildTga(const TgaLayout& layout);

void WriteFile(const std::string& path, const Bytes& bytes);

} // namespace test_images
