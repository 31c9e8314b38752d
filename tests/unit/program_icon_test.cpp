// Icon 101 in the desktop's sizes: every size is the same picture as the window's 32 x 32 icon.
#include <gtest/gtest.h>

#include <cstdlib>

#include "resources/program_resources.h"

namespace {

int Channel(DWORD pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
}

// The coverage (alpha) of a `factor` x `factor` block of `icon` starting at (x, y), averaged.
int BlockAlpha(const IconResource& icon, int x, int y, int factor) {
    int sum = 0;
    for (int dy = 0; dy < factor; ++dy) {
        for (int dx = 0; dx < factor; ++dx) {
            sum += Channel(icon.pixels[(y + dy) * icon.width + x + dx], 24);
        }
    }
    return sum / (factor * factor);
}

TEST(ProgramIcon, EverySizeIsTheSamePicture) {
    const IconResource window = MakeProgramIcon();
    ASSERT_EQ(window.width, PROGRAM_ICON_SIZE);
    ASSERT_EQ(window.pixels.size(), 32u * 32u);

    // Larger sizes shrunk back to 32 x 32 cover what the window's icon covers.
    for (int factor : {2, 4, 8}) {
        const IconResource large = MakeProgramIcon(32 * factor);
        ASSERT_EQ(large.width, 32 * factor);
        ASSERT_EQ(large.height, 32 * factor);
        int worst = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const int alpha = BlockAlpha(large, x * factor, y * factor, factor);
                worst = std::max(worst, std::abs(alpha - Channel(window.pixels[y * 32 + x], 24)));
            }
        }
        EXPECT_LE(worst, 16) << "at " << 32 * factor;
    }

    // Smaller: the 16 x 16 icon is the window's icon averaged down, colour kept (the glow's
    // transparent edge must not darken it).
    const IconResource small = MakeProgramIcon(16);
    ASSERT_EQ(small.pixels.size(), 16u * 16u);
    int worst = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            worst = std::max(worst, std::abs(BlockAlpha(window, x * 2, y * 2, 2) -
                                             Channel(small.pixels[y * 16 + x], 24)));
            EXPECT_EQ(Channel(small.pixels[y * 16 + x], 16), 255) << x << "," << y;
        }
    }
    EXPECT_LE(worst, 2);
}

TEST(ProgramIcon, SizesOutsideTheRangeGiveNoIcon) {
    for (int size : {0, -32, PROGRAM_ICON_MAX_SIZE + 1}) {
        const IconResource icon = MakeProgramIcon(size);
        EXPECT_EQ(icon.width, 0);
        EXPECT_TRUE(icon.pixels.empty());
    }
}

} // namespace
