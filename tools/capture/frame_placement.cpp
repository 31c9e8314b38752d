#include "frame_placement.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace capture {

namespace {

// How much of each source pixel falls in each destination pixel when `from` pixels shrink to
// `to` (to <= from): destination pixel i covers [i * from / to, (i + 1) * from / to) of the
// source, so a source pixel split by a boundary counts in both, in proportion. Kept as whole
// fractions of `to`, so that a shrink by a whole factor adds whole pixels exactly.
struct Tap {
    int source;
    uint32_t weight; // out of `from`: the destination pixel's weights add up to `from`
};

std::vector<std::vector<Tap>> ShrinkTaps(int from, int to) {
    std::vector<std::vector<Tap>> taps(static_cast<size_t>(to));
    for (int i = 0; i < to; ++i) {
        // In units of 1 / to source pixels: [i * from, (i + 1) * from).
        const int64_t begin = int64_t(i) * from, end = int64_t(i + 1) * from;
        for (int64_t s = begin / to; s * to < end; ++s) {
            const int64_t overlap = std::min(end, (s + 1) * to) - std::max(begin, s * to);
            if (overlap > 0) {
                taps[size_t(i)].push_back({int(s), uint32_t(overlap)});
            }
        }
    }
    return taps;
}

// The picture averaged down into `area` of the frame: rows first into a buffer, then columns.
void ShrinkInto(const uint8_t* rgba, int width, int height, int pitch, const host::Letterbox& area,
                Frame* frame) {
    const std::vector<std::vector<Tap>> across = ShrinkTaps(width, area.width);
    const std::vector<std::vector<Tap>> down = ShrinkTaps(height, area.height);
    // Each narrowed row, in sums out of `width`.
    std::vector<uint64_t> rows(size_t(height) * size_t(area.width) * 3);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = rgba + size_t(y) * size_t(pitch);
        uint64_t* out = &rows[size_t(y) * size_t(area.width) * 3];
        for (int x = 0; x < area.width; ++x, out += 3) {
            for (const Tap& tap : across[size_t(x)]) {
                const uint8_t* pixel = row + size_t(tap.source) * 4;
                for (int c = 0; c < 3; ++c) {
                    out[c] += uint64_t(pixel[c]) * tap.weight;
                }
            }
        }
    }
    const uint64_t whole = uint64_t(width) * uint64_t(height);
    for (int y = 0; y < area.height; ++y) {
        uint8_t* out =
            frame->rgba.data() + (size_t(area.y + y) * size_t(frame->width) + size_t(area.x)) * 4;
        for (int x = 0; x < area.width; ++x, out += 4) {
            uint64_t sum[3] = {0, 0, 0};
            for (const Tap& tap : down[size_t(y)]) {
                const uint64_t* in = &rows[(size_t(tap.source) * size_t(area.width) + x) * 3];
                for (int c = 0; c < 3; ++c) {
                    sum[c] += in[c] * tap.weight;
                }
            }
            for (int c = 0; c < 3; ++c) {
                out[c] = uint8_t((sum[c] + whole / 2) / whole);
            }
        }
    }
}

void FillBlack(uint8_t* rgba, int pixels) {
    for (int i = 0; i < pixels; ++i, rgba += 4) {
        rgba[0] = rgba[1] = rgba[2] = 0;
        rgba[3] = 255;
    }
}

} // namespace

host::Letterbox PictureArea(int pictureWidth, int pictureHeight, int frameWidth, int frameHeight) {
    host::Letterbox area =
        host::FitWithAspect(pictureWidth, pictureHeight, frameWidth, frameHeight);
    if (area.width >= pictureWidth && area.height >= pictureHeight) {
        area.width = pictureWidth;
        area.height = pictureHeight;
        area.x = (frameWidth - pictureWidth) / 2;
        area.y = (frameHeight - pictureHeight) / 2;
    }
    return area;
}

void PutPictureInFrame(const uint8_t* rgba, int width, int height, int pitch, Frame* frame) {
    const size_t frameRow = size_t(frame->width) * 4;
    frame->rgba.resize(frameRow * size_t(frame->height));
    const host::Letterbox area = PictureArea(width, height, frame->width, frame->height);
    for (int y = 0; y < frame->height; ++y) {
        uint8_t* row = &frame->rgba[size_t(y) * frameRow];
        if (y < area.y || y >= area.y + area.height) {
            FillBlack(row, frame->width);
        } else {
            FillBlack(row, area.x);
            FillBlack(row + size_t(area.x + area.width) * 4, frame->width - area.x - area.width);
        }
    }
    if (area.width == width && area.height == height) {
        for (int y = 0; y < height; ++y) {
            std::memcpy(&frame->rgba[size_t(area.y + y) * frameRow + size_t(area.x) * 4],
                        rgba + size_t(y) * size_t(pitch), size_t(width) * 4);
        }
    } else {
        ShrinkInto(rgba, width, height, pitch, area, frame);
    }
}

} // namespace capture
