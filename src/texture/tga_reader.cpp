// TGA header (18 bytes, little-endian): ID length, colour-map type, image type, colour-map
// fields (5 bytes), x and y origin, width, height, pixel depth, image descriptor (bit 5:
// rows stored top to bottom). Pixels are stored blue, green, red and, at 32 bits, alpha.
//
// A run-length packet that runs past the end of its row is cut there: the surplus pixels are
// dropped (their values still read, so the stream stays in step), and the next row begins with a
// new packet, as every row must.
#include "texture/tga_reader.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr uint8_t TGA_TRUE_COLOR = 2;
constexpr uint8_t TGA_TRUE_COLOR_RLE = 10;
constexpr uint8_t TGA_TOP_TO_BOTTOM = 0x20;

class PixelStream {
public:
    PixelStream(FILE* file, bool withAlpha) : file_(file), withAlpha_(withAlpha) {}

    uint8_t Byte() {
        const int c = std::getc(file_);
        if (c == EOF) {
            ended_ = true;
            return 0;
        }
        return static_cast<uint8_t>(c);
    }

    DWORD Pixel() {
        const DWORD blue = Byte();
        const DWORD green = Byte();
        const DWORD red = Byte();
        const DWORD alpha = withAlpha_ ? Byte() : 0xFF;
        return (red << 24) | (green << 16) | (blue << 8) | alpha;
    }

    // What every pixel read past the end of the file is.
    DWORD PixelPastEnd() const { return withAlpha_ ? 0x00000000 : 0x000000FF; }
    bool Ended() const { return ended_; }

private:
    FILE* file_;
    bool withAlpha_;
    bool ended_ = false;
};

void ReadRow(PixelStream& stream, bool runLength, DWORD* row, DWORD width) {
    if (!runLength) {
        for (DWORD x = 0; x < width; ++x) {
            row[x] = stream.Pixel();
        }
        return;
    }
    DWORD x = 0;
    while (x < width) {
        const uint8_t header = stream.Byte();
        const DWORD count = (header & 0x7Fu) + 1;
        if (header & 0x80) {
            const DWORD value = stream.Pixel();
            const DWORD end = std::min(width, x + count);
            std::fill(row + x, row + end, value);
            x = end;
        } else {
            for (DWORD i = 0; i < count; ++i) {
                const DWORD value = stream.Pixel();
                if (x < width) {
                    row[x++] = value;
                }
            }
        }
    }
}

} // namespace

HRESULT ReadTgaImage(FILE* file, TgaImage& image, DWORD maxPixels) {
    image = TgaImage{};
    if (file == nullptr) {
        return E_FAIL;
    }
    uint8_t header[18] = {};
    if (std::fread(header, 1, sizeof(header), file) != sizeof(header)) {
        return E_FAIL; // not even a header: nothing here could be an image
    }
    const uint8_t idLength = header[0];
    const uint8_t colorMapType = header[1];
    const uint8_t imageType = header[2];
    if (colorMapType != 0 || (imageType != TGA_TRUE_COLOR && imageType != TGA_TRUE_COLOR_RLE)) {
        return E_FAIL;
    }
    if (idLength != 0) {
        std::fseek(file, idLength, SEEK_CUR);
    }
    const DWORD width = header[12] | (header[13] << 8);
    const DWORD height = header[14] | (header[15] << 8);
    const DWORD depth = header[16];
    const uint8_t descriptor = header[17];
    // Other depths would be read as three bytes per pixel and keep a depth that misleads the
    // texture format choice (8 or less asks for palettes); they are refused instead.
    if (depth != 24 && depth != 32) {
        return E_FAIL;
    }
    const uint64_t count = uint64_t{width} * height;
    if (count * 4 > UINT32_MAX || width > TGA_MAX_SIDE || height > TGA_MAX_SIDE ||
        count > std::min(maxPixels, TGA_MAX_PIXELS)) {
        return E_FAIL;
    }
    std::unique_ptr<DWORD[]> pixels(new (std::nothrow) DWORD[std::max<uint64_t>(count, 1)]());
    if (!pixels) {
        return E_FAIL;
    }

    PixelStream stream(file, depth == 32);
    const bool topToBottom = (descriptor & TGA_TOP_TO_BOTTOM) != 0;
    for (DWORD i = 0; i < height; ++i) {
        const DWORD target = topToBottom ? i : height - 1 - i;
        DWORD* row = pixels.get() + static_cast<size_t>(target) * width;
        if (stream.Ended()) {
            std::fill(row, row + width, stream.PixelPastEnd()); // no need to read nothing
            continue;
        }
        ReadRow(stream, imageType == TGA_TRUE_COLOR_RLE, row, width);
    }
    image.width = width;
    image.height = height;
    image.bitsPerPixel = depth;
    image.pixels = std::move(pixels);
    return S_OK;
}
