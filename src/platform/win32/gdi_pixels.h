// Pixel conversions shared by the GDI block transfer and text output: reading a DIB section's
// pixels as colours or palette indices, and writing colours or indices into a PixelView.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "platform/win32/bmp_decoder.h"
#include "platform/win32/gdi_surface_dc.h"

// One colour channel of a direct-colour pixel: where its bits are and how many there are.
struct ChannelField {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
};
ChannelField MakeChannelField(uint32_t mask);
// The channel's value widened to 8 bits by repeating its bits (5-bit 31 becomes 255).
uint8_t ExpandChannel(uint32_t pixel, const ChannelField& field);
// An 8-bit value narrowed by dropping low bits (or widened by repeating them), placed in field.
uint32_t PackChannel(uint8_t value, const ChannelField& field);

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
};

// Reads pixels of a decoded bitmap. Indices past the colour table read as black.
class BitmapReader {
public:
    explicit BitmapReader(const DecodedBitmap& bitmap);
    bool Indexed() const { return bitmap_.bitCount <= 8; }
    uint8_t Index(int32_t x, int32_t y) const;
    Rgb Color(int32_t x, int32_t y) const;

private:
    const DecodedBitmap& bitmap_;
    ChannelField red_, green_, blue_;
};

// Writes pixels into a view: direct colour through its masks (alpha bits written as 0, as GDI
// leaves them), 8-bit views by palette index, colours mapped to the nearest palette entry.
class ViewWriter {
public:
    explicit ViewWriter(const PixelView& view);
    void PutColor(int32_t x, int32_t y, Rgb color);
    // Indexed views only: stores the index as it is.
    void PutIndex(int32_t x, int32_t y, uint8_t index);
    bool Indexed() const { return view_.bitCount == 8; }

private:
    uint32_t Encode(Rgb color);
    uint8_t NearestIndex(Rgb color);
    void Store(int32_t x, int32_t y, uint32_t value);

    const PixelView& view_;
    ChannelField red_, green_, blue_;
    std::unordered_map<uint32_t, uint8_t> nearest_;
};

// A view is usable when its memory, size, pitch and depth are consistent.
bool IsUsableView(const PixelView& view);
