// BMP decoding: headers checked field by field, then rows copied or runs expanded.
//
// File layout (all little-endian): a 14-byte file header ("BM", file size, two reserved words,
// offset of the pixel data), an info header whose first DWORD is its own size (12 for the OS/2
// core header, 40 for BITMAPINFOHEADER, 52 and 56 for the versions with masks inside, 108 for
// V4, 124 for V5), then for BI_BITFIELDS with a 40-byte header three DWORD masks, then the colour
// table (RGBQUADs; RGB triples after a core header), then the pixels at the stated offset.
#include "platform/win32/bmp_decoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr size_t FILE_HEADER_SIZE = 14;

uint16_t ReadU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
int32_t ReadI32(const uint8_t* p) {
    return static_cast<int32_t>(ReadU32(p));
}

BmpDecodeResult Refuse(const char* why) {
    return BmpDecodeResult{false, why};
}

// What the headers say, before any pixel is touched.
struct BmpLayout {
    int32_t width = 0;
    int32_t height = 0; // positive; `topDown` holds the sign
    bool topDown = false;
    uint16_t bitCount = 0;
    uint32_t compression = BI_RGB;
    uint32_t masks[3] = {0, 0, 0}; // red, green, blue
    size_t colorTableOffset = 0;
    size_t colorEntrySize = 4;
    uint32_t colorCount = 0;
    size_t pixelOffset = 0;
};

bool IsContiguous(uint32_t mask) {
    if (mask == 0) {
        return false;
    }
    mask >>= std::countr_zero(mask);
    return (mask & (mask + 1)) == 0;
}

const char* CheckDepthAndCompression(const BmpLayout& layout) {
    switch (layout.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        return "unsupported bits per pixel";
    }
    switch (layout.compression) {
    case BI_RGB:
        return nullptr;
    case BI_RLE8:
        if (layout.bitCount != 8) {
            return "RLE8 needs 8 bits per pixel";
        }
        break;
    case BI_RLE4:
        if (layout.bitCount != 4) {
            return "RLE4 needs 4 bits per pixel";
        }
        break;
    case BI_BITFIELDS:
        if (layout.bitCount != 16 && layout.bitCount != 32) {
            return "bit fields need 16 or 32 bits per pixel";
        }
        return nullptr;
    default:
        return "unsupported compression";
    }
    // Run-length images are always stored bottom-up; a negative height with them is malformed.
    return layout.topDown ? "run-length image cannot be top-down" : nullptr;
}

const char* CheckMasks(const uint32_t (&masks)[3], uint16_t bitCount) {
    const uint64_t depthBits = (uint64_t{1} << bitCount) - 1;
    uint32_t seen = 0;
    for (uint32_t mask : masks) {
        if (mask == 0) {
            return "bit field mask is zero";
        }
        if (!IsContiguous(mask) || mask > depthBits || (seen & mask) != 0) {
            return "bit field masks are not separate runs of bits within the pixel";
        }
        seen |= mask;
    }
    return nullptr;
}

// Reads the info header into `layout`; null on success, else the reason.
const char* ReadInfoHeader(const uint8_t* data, size_t size, BmpLayout& layout) {
    const uint32_t headerSize = ReadU32(data + FILE_HEADER_SIZE);
    if (headerSize != 12 && headerSize != 40 && headerSize != 52 && headerSize != 56 &&
        headerSize != 108 && headerSize != 124) {
        return "unsupported info header";
    }
    if (size < FILE_HEADER_SIZE + headerSize) {
        return "file ends inside its headers";
    }
    const uint8_t* info = data + FILE_HEADER_SIZE;
    int64_t height = 0;
    uint16_t planes = 0;
    uint32_t colorsUsed = 0;
    layout.colorTableOffset = FILE_HEADER_SIZE + headerSize;
    if (headerSize == 12) {
        layout.width = ReadU16(info + 4);
        height = ReadU16(info + 6);
        planes = ReadU16(info + 8);
        layout.bitCount = ReadU16(info + 10);
        layout.colorEntrySize = 3;
        if (layout.bitCount == 16 || layout.bitCount == 32) {
            return "unsupported bits per pixel";
        }
    } else {
        layout.width = ReadI32(info + 4);
        height = ReadI32(info + 8);
        planes = ReadU16(info + 12);
        layout.bitCount = ReadU16(info + 14);
        layout.compression = ReadU32(info + 16);
        colorsUsed = ReadU32(info + 32);
        if (layout.compression == BI_BITFIELDS) {
            const uint8_t* maskBytes = info + 40;
            if (headerSize == 40) {
                // The three masks follow the header and come before the colour table.
                if (size < layout.colorTableOffset + 12) {
                    return "file ends inside its bit field masks";
                }
                layout.colorTableOffset += 12;
            }
            for (int i = 0; i < 3; ++i) {
                layout.masks[i] = ReadU32(maskBytes + 4 * i);
            }
        }
    }
    if (planes != 1) {
        return "plane count is not 1";
    }
    if (layout.width <= 0) {
        return "width is not positive";
    }
    if (height == 0) {
        return "height is zero";
    }
    layout.topDown = height < 0;
    height = height < 0 ? -height : height;
    if (layout.width > BMP_MAX_SIDE || height > BMP_MAX_SIDE ||
        static_cast<uint64_t>(layout.width) * static_cast<uint64_t>(height) > BMP_MAX_PIXELS) {
        return "image too large";
    }
    layout.height = static_cast<int32_t>(height);
    if (const char* why = CheckDepthAndCompression(layout)) {
        return why;
    }
    if (layout.bitCount <= 8) {
        const uint32_t fullTable = 1u << layout.bitCount;
        layout.colorCount = colorsUsed == 0 ? fullTable : std::min(colorsUsed, fullTable);
    }
    return nullptr;
}

void SetDefaultMasks(BmpLayout& layout) {
    if (layout.compression == BI_BITFIELDS) {
        return;
    }
    if (layout.bitCount == 16) {
        layout.masks[0] = 0x7C00;
        layout.masks[1] = 0x03E0;
        layout.masks[2] = 0x001F;
    } else if (layout.bitCount == 24 || layout.bitCount == 32) {
        layout.masks[0] = 0x00FF0000;
        layout.masks[1] = 0x0000FF00;
        layout.masks[2] = 0x000000FF;
    }
}

// Expands RLE8 or RLE4 runs into bottom-up indices. Pixels that a run puts past the end of its
// row are dropped, as are rows past the top; pixels that runs skip keep index 0. Returns false
// when the data ends before the end-of-bitmap marker (or before the last row is complete).
bool ExpandRuns(const uint8_t* src, size_t size, bool fourBit, DecodedBitmap& out) {
    const int32_t width = out.width;
    const int32_t height = out.height;
    int32_t x = 0;
    int32_t y = 0; // counts rows from the bottom, as the runs do
    auto put = [&](uint8_t index) {
        if (x >= width) {
            return; // past the row end: dropped, and x stays bounded
        }
        uint8_t* row = out.bits.get() + static_cast<size_t>(height - 1 - y) * out.pitch;
        if (fourBit) {
            uint8_t& byte = row[x / 2];
            byte = (x & 1) ? static_cast<uint8_t>((byte & 0xF0) | index)
                           : static_cast<uint8_t>((byte & 0x0F) | (index << 4));
        } else {
            row[x] = index;
        }
        ++x;
    };
    size_t pos = 0;
    for (;;) {
        if (y >= height) {
            return true;
        }
        if (size - pos < 2) {
            return false;
        }
        const uint8_t count = src[pos];
        const uint8_t value = src[pos + 1];
        pos += 2;
        if (count > 0) {
            // Encoded run: one index (RLE8) or two alternating nibbles (RLE4), count times. What
            // would land past the row end is dropped unwritten, so it is not walked either (x
            // never passes the width).
            const int fits = std::min<int32_t>(count, width - x);
            for (int i = 0; i < fits; ++i) {
                put(fourBit ? static_cast<uint8_t>((i & 1) ? value & 0x0F : value >> 4) : value);
            }
            continue;
        }
        switch (value) {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of bitmap
            return true;
        case 2: // delta: move right and up
            if (size - pos < 2) {
                return false;
            }
            x = std::min(x + src[pos], width);
            y += src[pos + 1];
            pos += 2;
            break;
        default: { // absolute run of `value` pixels, padded to a 16-bit boundary
            const size_t bytes = fourBit ? (value + 1u) / 2u : value;
            const size_t padded = (bytes + 1u) & ~size_t{1};
            if (size - pos < padded) {
                return false;
            }
            const int fits = std::min<int32_t>(value, width - x);
            for (int i = 0; i < fits; ++i) {
                const uint8_t byte = src[pos + (fourBit ? i / 2 : i)];
                put(fourBit ? static_cast<uint8_t>((i & 1) ? byte & 0x0F : byte >> 4) : byte);
            }
            pos += padded;
            break;
        }
        }
    }
}

} // namespace

BmpDecodeResult DecodeBmp(const uint8_t* data, size_t size, DecodedBitmap& out,
                          uint64_t maxPixels) {
    out = DecodedBitmap{};
    if (data == nullptr || size < FILE_HEADER_SIZE + 4) {
        return Refuse("file too short");
    }
    if (data[0] != 'B' || data[1] != 'M') {
        return Refuse("not a BMP file");
    }
    BmpLayout layout;
    if (const char* why = ReadInfoHeader(data, size, layout)) {
        return Refuse(why);
    }
    if (static_cast<uint64_t>(layout.width) * static_cast<uint64_t>(layout.height) > maxPixels) {
        return Refuse("image too large");
    }
    SetDefaultMasks(layout);
    if (layout.bitCount > 8) {
        if (const char* why = CheckMasks(layout.masks, layout.bitCount)) {
            return Refuse(why);
        }
    }
    const uint64_t tableBytes = uint64_t{layout.colorCount} * layout.colorEntrySize;
    if (layout.colorTableOffset + tableBytes > size) {
        return Refuse("colour table runs past the end of the file");
    }
    layout.pixelOffset = ReadU32(data + 10);
    if (layout.pixelOffset < layout.colorTableOffset) {
        return Refuse("pixel data offset points into the headers");
    }
    if (layout.pixelOffset >= size) {
        return Refuse("pixel data offset is past the end of the file");
    }

    // Both sides are bounded above, so these products fit comfortably in 64 bits.
    const uint64_t rowBits = static_cast<uint64_t>(layout.width) * layout.bitCount;
    const uint64_t pitch = (rowBits + 31) / 32 * 4;
    const uint64_t imageBytes = pitch * static_cast<uint64_t>(layout.height);
    const uint8_t* pixelData = data + layout.pixelOffset;
    const size_t pixelDataSize = size - layout.pixelOffset;
    const bool runLength = layout.compression == BI_RLE8 || layout.compression == BI_RLE4;
    // The last row's padding may be missing from a file; its pixels may not.
    if (!runLength && pitch * (layout.height - 1) + (rowBits + 7) / 8 > pixelDataSize) {
        return Refuse("pixel data runs past the end of the file");
    }

    out.bits.reset(static_cast<uint8_t*>(std::calloc(imageBytes, 1)));
    if (!out.bits) {
        return Refuse("out of memory");
    }
    out.width = layout.width;
    out.height = layout.height;
    out.pitch = static_cast<int32_t>(pitch);
    out.bitCount = layout.bitCount;
    out.redMask = layout.masks[0];
    out.greenMask = layout.masks[1];
    out.blueMask = layout.masks[2];
    out.colors.resize(layout.colorCount);
    for (uint32_t i = 0; i < layout.colorCount; ++i) {
        const uint8_t* entry = data + layout.colorTableOffset + i * layout.colorEntrySize;
        out.colors[i] = RGBQUAD{entry[0], entry[1], entry[2], 0};
    }

    if (runLength) {
        if (!ExpandRuns(pixelData, pixelDataSize, layout.compression == BI_RLE4, out)) {
            out = DecodedBitmap{};
            return Refuse("run-length data ends before its end marker");
        }
        return BmpDecodeResult{true, nullptr};
    }
    const size_t rowBytes = static_cast<size_t>((rowBits + 7) / 8);
    for (int32_t row = 0; row < layout.height; ++row) {
        const int32_t target = layout.topDown ? row : layout.height - 1 - row;
        std::memcpy(out.bits.get() + static_cast<size_t>(target) * pitch,
                    pixelData + static_cast<size_t>(row) * pitch, rowBytes);
    }
    return BmpDecodeResult{true, nullptr};
}
