// TGA reading: alpha at both depths, the row orders the descriptor selects, both packet kinds,
// packets past a row end, short files, and the headers that are refused.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "support/image_files.h"
#include "texture/tga_reader.h"

using namespace test_images;

namespace {

HRESULT Read(const Bytes& file, TgaImage& image, DWORD maxPixels = TGA_MAX_PIXELS) {
    FILE* stream = fmemopen(const_cast<uint8_t*>(file.data()), file.size(), "rb");
    if (stream == nullptr) {
        ADD_FAILURE() << "fmemopen";
        return E_FAIL;
    }
    const HRESULT result = ReadTgaImage(stream, image, maxPixels);
    std::fclose(stream);
    return result;
}

std::vector<DWORD> Words(const TgaImage& image) {
    return std::vector<DWORD>(image.pixels.get(), image.pixels.get() + image.width * image.height);
}

// Pixel bytes as stored: blue, green, red (and alpha).
Bytes Bgr(uint8_t r, uint8_t g, uint8_t b) {
    return {b, g, r};
}
Bytes Bgra(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    return {b, g, r, a};
}
Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

} // namespace

TEST(TgaReader, TwentyFourBitsAreOpaqueAndThirtyTwoKeepTheirAlpha) {
    TgaLayout layout;
    layout.width = 2;
    layout.height = 1;
    layout.descriptor = 0x20;
    layout.body = Cat({Bgr(0x11, 0x22, 0x33), Bgr(0xFF, 0x00, 0x80)});
    TgaImage image;
    ASSERT_EQ(Read(BuildTga(layout), image), S_OK);
    EXPECT_EQ(image.bitsPerPixel, 24u);
    EXPECT_EQ(Words(image), (std::vector<DWORD>{0x112233FF, 0xFF0080FF}));

    layout.pixelDepth = 32;
    layout.descriptor = 0x28; // eight alpha bits: ignored, only bit 5 counts
    layout.body = Cat({Bgra(0x11, 0x22, 0x33, 0x44), Bgra(1, 2, 3, 0)});
    ASSERT_EQ(Read(BuildTga(layout), image), S_OK);
    EXPECT_EQ(image.bitsPerPixel, 32u);
    EXPECT_EQ(Words(image), (std::vector<DWORD>{0x11223344, 0x01020300}));
}

TEST(TgaReader, DescriptorBitFiveChoosesTheRowOrder) {
    TgaLayout layout;
    layout.width = 1;
    layout.height = 3;
    layout.body = Cat({Bgr(1, 0, 0), Bgr(2, 0, 0), Bgr(3, 0, 0)});
    const std::vector<DWORD> stored = {0x010000FF, 0x020000FF, 0x030000FF};
    const std::vector<DWORD> flipped = {0x030000FF, 0x020000FF, 0x010000FF};
    for (uint8_t descriptor : {0x00, 0x08, 0x20, 0x28}) {
        layout.descriptor = descriptor;
        TgaImage image;
        ASSERT_EQ(Read(BuildTga(layout), image), S_OK);
        EXPECT_EQ(Words(image), (descriptor & 0x20) ? stored : flipped)
            << "descriptor " << int(descriptor);
    }
}

TEST(TgaReader, RunLengthPacketsRepeatOrListPixels) {
    TgaLayout layout;
    layout.imageType = 10;
    layout.width = 4;
    layout.height = 2;
    layout.descriptor = 0x20;
    layout.body = Cat({{0x83},
                       Bgr(9, 9, 9), // one value into four columns
                       {0x03},
                       Bgr(1, 0, 0),
                       Bgr(2, 0, 0),
                       Bgr(3, 0, 0),
                       Bgr(4, 0, 0)});
    TgaImage image;
    ASSERT_EQ(Read(BuildTga(layout), image), S_OK);
    EXPECT_EQ(Words(image), (std::vector<DWORD>{0x090909FF, 0x090909FF, 0x090909FF, 0x090909FF,
                                                0x010000FF, 0x020000FF, 0x030000FF, 0x040000FF}));
}

TEST(TgaReader, PacketsPastARowEndAreCutThere) {
    TgaLayout layout;
    layout.imageType = 10;
    layout.width = 2;
    layout.height = 2;
    layout.descriptor = 0x20;
    // Row 0: a repeat packet of 5 (3 too many); row 1: a raw packet of 3 (one too many), whose
    // surplus value is read and dropped; nothing follows.
    layout.body = Cat({{0x84}, Bgr(7, 7, 7), {0x02}, Bgr(1, 0, 0), Bgr(2, 0, 0), Bgr(3, 0, 0)});
    TgaImage image;
    ASSERT_EQ(Read(BuildTga(layout), image), S_OK);
    EXPECT_EQ(Words(image), (std::vector<DWORD>{0x070707FF, 0x070707FF, 0x010000FF, 0x020000FF}));

    // The same with a third row: it starts with the packet after the dropped value.
    layout.height = 3;
    layout.body = Cat({layout.body, {0x81}, Bgr(5, 5, 5)});
    ASSERT_EQ(Read(BuildTga(layout), image), S_OK);
    EXPECT_EQ(Words(image)[4], 0x050505FFu);
    EXPECT_EQ(Words(image)[5], 0x050505FFu);
}

TEST(TgaReader, AShortFileStillFillsTheWholeArray) {
    TgaLayout layout;
    layout.width = 2;
    layout.height = 2;
    layout.descriptor = 0x20;
    layout.body = Cat({Bgr(1, 2, 3), {0x44}}); // one pixel and a third of another
    TgaImage image;
    ASSERT_EQ(Read(BuildTga(layout), image), S_OK);
    EXPECT_EQ(Words(image), (std::vector<DWORD>{0x010203FF, 0x000044FF, 0x000000FF, 0x000000FF}));

    layout.pixelDepth = 32;
    layout.imageType = 10;
    layout.body = {0x81};
    ASSERT_EQ(Read(BuildTga(layout), image), S_OK);
    EXPECT_EQ(Words(image), (std::vector<DWORD>(4, 0u))) << "32-bit pixels past the end";

    // A large image with no pixel data at all: defined values, not whatever memory held.
    layout.width = 300;
    layout.height = 200;
    layout.body.clear();
    ASSERT_EQ(Read(BuildTga(layout), image), S_OK);
    EXPECT_EQ(Words(image), std::vector<DWORD>(300 * 200, 0u));
}

TEST(TgaReader, SkipsTheImageId) {
    TgaLayout layout;
    layout.idLength = 3;
    layout.body = Cat({{'a', 'b', 'c'}, Bgr(5, 6, 7)});
    TgaImage image;
    ASSERT_EQ(Read(BuildTga(layout), image), S_OK);
    EXPECT_EQ(Words(image), (std::vector<DWORD>{0x050607FF}));
}

TEST(TgaReader, RefusesWhatItDoesNotRead) {
    TgaLayout good;
    good.body = Bgr(1, 1, 1);
    TgaImage image;
    ASSERT_EQ(Read(BuildTga(good), image), S_OK);

    auto refused = [&](const char* what, auto change) {
        TgaLayout layout = good;
        change(layout);
        TgaImage result;
        EXPECT_EQ(Read(BuildTga(layout), result), E_FAIL) << what;
        EXPECT_EQ(result.pixels, nullptr) << what;
    };
    refused("colour map", [](TgaLayout& s) { s.colorMapType = 1; });
    refused("colour-mapped image", [](TgaLayout& s) { s.imageType = 1; });
    refused("grey image", [](TgaLayout& s) { s.imageType = 3; });
    refused("16-bit pixels", [](TgaLayout& s) { s.pixelDepth = 16; });
    refused("8-bit pixels", [](TgaLayout& s) { s.pixelDepth = 8; });
    refused("side over the limit", [](TgaLayout& s) { s.width = 20000; });
    refused("overflowing 32 bits", [](TgaLayout& s) { s.width = s.height = 65535; });
    refused("too many pixels", [](TgaLayout& s) { s.width = s.height = 4097; });
    // A smaller budget (fuzzing's) refuses what passes it, and never raises the program's.
    TgaLayout wide = good;
    wide.width = 100;
    wide.height = 10;
    EXPECT_EQ(Read(BuildTga(wide), image, 1000), S_OK);
    EXPECT_EQ(Read(BuildTga(wide), image, 999), E_FAIL);
    wide.width = wide.height = 4097;
    EXPECT_EQ(Read(BuildTga(wide), image, UINT32_MAX), E_FAIL);
    Bytes cut = BuildTga(good);
    cut.resize(10);
    EXPECT_EQ(Read(cut, image), E_FAIL) << "header cut short";
    EXPECT_EQ(ReadTgaImage(nullptr, image), E_FAIL);
}
