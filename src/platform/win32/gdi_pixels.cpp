#include "platform/win32/gdi_pixels.h"

#include <bit>
#include <cstdlib>

ChannelField MakeChannelField(uint32_t mask) {
    ChannelField field;
    field.mask = mask;
    if (mask != 0) {
        field.shift = std::countr_zero(mask);
        field.bits = std::popcount(mask);
    }
    return field;
}

uint8_t ExpandChannel(uint32_t pixel, const ChannelField& field) {
    if (field.bits == 0) {
        return 0;
    }
    const uint32_t value = (pixel & field.mask) >> field.shift;
    if (field.bits >= 8) {
        return static_cast<uint8_t>(value >> (field.bits - 8));
    }
    uint32_t wide = 0;
    int filled = 0;
    while (filled < 8) {
        wide = (wide << field.bits) | value;
        filled += field.bits;
    }
    return static_cast<uint8_t>(wide >> (filled - 8));
}

uint32_t PackChannel(uint8_t value, const ChannelField& field) {
    if (field.bits == 0) {
        return 0;
    }
    uint32_t narrow = 0;
    if (field.bits <= 8) {
        narrow = value >> (8 - field.bits);
    } else {
        int filled = 8;
        narrow = value;
        while (filled < field.bits) {
            narrow = (narrow << 8) | value;
            filled += 8;
        }
        narrow >>= filled - field.bits;
    }
    return (narrow << field.shift) & field.mask;
}

// ---- Reading DIB sections ----------------------------------------------------------------------
BitmapReader::BitmapReader(const DecodedBitmap& bitmap)
    : bitmap_(bitmap), red_(MakeChannelField(bitmap.redMask)),
      green_(MakeChannelField(bitmap.greenMask)), blue_(MakeChannelField(bitmap.blueMask)) {}

uint8_t BitmapReader::Index(int32_t x, int32_t y) const {
    const uint8_t* row = bitmap_.bits.get() + static_cast<size_t>(y) * bitmap_.pitch;
    switch (bitmap_.bitCount) {
    case 1:
        return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4:
        return (x & 1) ? row[x / 2] & 0x0F : row[x / 2] >> 4;
    default:
        return row[x];
    }
}

Rgb BitmapReader::Color(int32_t x, int32_t y) const {
    if (Indexed()) {
        const uint8_t index = Index(x, y);
        if (index >= bitmap_.colors.size()) {
            return Rgb{};
        }
        const RGBQUAD& entry = bitmap_.colors[index];
        return Rgb{entry.rgbRed, entry.rgbGreen, entry.rgbBlue};
    }
    const uint8_t* row = bitmap_.bits.get() + static_cast<size_t>(y) * bitmap_.pitch;
    uint32_t pixel = 0;
    switch (bitmap_.bitCount) {
    case 16:
        pixel = row[2 * x] | (row[2 * x + 1] << 8);
        break;
    case 24:
        pixel = row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16);
        break;
    default:
        pixel = static_cast<uint32_t>(row[4 * x]) | (static_cast<uint32_t>(row[4 * x + 1]) << 8) |
                (static_cast<uint32_t>(row[4 * x + 2]) << 16) |
                (static_cast<uint32_t>(row[4 * x + 3]) << 24);
        break;
    }
    return Rgb{ExpandChannel(pixel, red_), ExpandChannel(pixel, green_),
               ExpandChannel(pixel, blue_)};
}

// ---- Writing views -----------------------------------------------------------------------------
bool IsUsableView(const PixelView& view) {
    if (view.bits == nullptr || view.width <= 0 || view.height <= 0) {
        return false;
    }
    if (view.bitCount != 8 && view.bitCount != 16 && view.bitCount != 24 && view.bitCount != 32) {
        return false;
    }
    return static_cast<int64_t>(view.pitch) * 8 >= static_cast<int64_t>(view.width) * view.bitCount;
}

ViewWriter::ViewWriter(const PixelView& view)
    : view_(view), red_(MakeChannelField(view.redMask)), green_(MakeChannelField(view.greenMask)),
      blue_(MakeChannelField(view.blueMask)) {}

uint32_t ViewWriter::Encode(Rgb color) {
    if (Indexed()) {
        return NearestIndex(color);
    }
    return PackChannel(color.r, red_) | PackChannel(color.g, green_) | PackChannel(color.b, blue_);
}

// Nearest by squared distance in RGB; the first of equally near entries wins. A view without a
// palette maps everything to index 0.
uint8_t ViewWriter::NearestIndex(Rgb color) {
    if (view_.palette == nullptr) {
        return 0;
    }
    const uint32_t key = color.r | (color.g << 8) | (color.b << 16);
    if (auto found = nearest_.find(key); found != nearest_.end()) {
        return found->second;
    }
    int best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < 256; ++i) {
        const PALETTEENTRY& entry = view_.palette[i];
        const int dr = entry.peRed - color.r;
        const int dg = entry.peGreen - color.g;
        const int db = entry.peBlue - color.b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    nearest_.emplace(key, static_cast<uint8_t>(best));
    return static_cast<uint8_t>(best);
}

void ViewWriter::Store(int32_t x, int32_t y, uint32_t value) {
    uint8_t* row = static_cast<uint8_t*>(view_.bits) + static_cast<ptrdiff_t>(y) * view_.pitch;
    switch (view_.bitCount) {
    case 8:
        row[x] = static_cast<uint8_t>(value);
        break;
    case 16:
        row[2 * x] = static_cast<uint8_t>(value);
        row[2 * x + 1] = static_cast<uint8_t>(value >> 8);
        break;
    case 24:
        row[3 * x] = static_cast<uint8_t>(value);
        row[3 * x + 1] = static_cast<uint8_t>(value >> 8);
        row[3 * x + 2] = static_cast<uint8_t>(value >> 16);
        break;
    default:
        for (int i = 0; i < 4; ++i) {
            row[4 * x + i] = static_cast<uint8_t>(value >> (8 * i));
        }
        break;
    }
}

void ViewWriter::PutColor(int32_t x, int32_t y, Rgb color) {
    Store(x, y, Encode(color));
}

void ViewWriter::PutIndex(int32_t x, int32_t y, uint8_t index) {
    Store(x, y, index);
}
