// BMP decoding: every depth and compression against pixels built here, both row orders, and the
// malformed headers that must be refused before anything is allocated or read out of bounds.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/win32/bmp_decoder.h"
#include "platform/win32/gdi_dib.h"
#include "platform/win32/gdi_surface_dc.h"
#include "support/image_files.h"

using namespace test_images;

namespace {

// The decoded picture as 0xRRGGBB words, read back through GDI into a 32-bit surface.
std::vector<uint32_t> Pixels(const Bytes& file, int width, int height) {
    HBITMAP bitmap = CreateDibSectionFromBmp(file.data(), file.size());
    EXPECT_NE(bitmap, nullptr);
    std::vector<uint32_t> out(static_cast<size_t>(width) * height, 0xDEADBEEF);
    if (bitmap == nullptr) {
        return out;
    }
    PixelView view;
    view.bits = out.data();
    view.width = width;
    view.height = height;
    view.pitch = width * 4;
    view.bitCount = 32;
    view.redMask = 0xFF0000;
    view.greenMask = 0x00FF00;
    view.blueMask = 0x0000FF;
    HDC memory = CreateCompatibleDC(nullptr);
    HDC surface = CreateSurfaceDC(view);
    SelectObject(memory, bitmap);
    EXPECT_TRUE(BitBlt(surface, 0, 0, width, height, memory, 0, 0, SRCCOPY));
    DeleteSurfaceDC(surface);
    DeleteDC(memory);
    EXPECT_TRUE(DeleteObject(bitmap));
    return out;
}

const char* RefusalOf(const Bytes& file, uint64_t maxPixels = BMP_MAX_PIXELS) {
    DecodedBitmap image;
    BmpDecodeResult result = DecodeBmp(file.data(), file.size(), image, maxPixels);
    if (result.ok) {
        return "accepted";
    }
    EXPECT_EQ(image.bits, nullptr); // nothing kept from a refused file
    return result.error;
}

const std::vector<BmpColor> FOUR_COLORS = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
constexpr uint32_t RED = 0xFF0000, GREEN = 0x00FF00, BLUE = 0x0000FF, WHITE = 0xFFFFFF;

} // namespace

TEST(BmpDecoder, IndexedDepthsReadTheirColourTables) {
    BmpLayout one;
    one.width = 10;
    one.height = 2;
    one.bitCount = 1;
    one.colors = {{0, 0, 0}, {255, 255, 255}};
    // Row 0: 1011000011, row 1: 0100111100 (most significant bit is the leftmost pixel).
    one.pixels = PadRows({{0xB0, 0xC0}, {0x4F, 0x00}});
    std::vector<uint32_t> p = Pixels(BuildBmp(one), 10, 2);
    const char* expected = "10110000110100111100";
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(p[i], expected[i] == '1' ? WHITE : 0u) << "pixel " << i;
    }

    BmpLayout four;
    four.width = 3;
    four.height = 1;
    four.bitCount = 4;
    four.colors = FOUR_COLORS;
    four.pixels = PadRows({{0x21, 0x30}});
    EXPECT_EQ(Pixels(BuildBmp(four), 3, 1), (std::vector<uint32_t>{BLUE, GREEN, WHITE}));

    BmpLayout eight;
    eight.width = 3;
    eight.height = 1;
    eight.bitCount = 8;
    eight.colors = FOUR_COLORS;
    eight.pixels = PadRows({{3, 0, 2}});
    EXPECT_EQ(Pixels(BuildBmp(eight), 3, 1), (std::vector<uint32_t>{WHITE, RED, BLUE}));
}

TEST(BmpDecoder, IndexPastTheColourCountReadsBlack) {
    BmpLayout layout;
    layout.width = 4;
    layout.height = 1;
    layout.bitCount = 8;
    layout.colors = {{10, 20, 30}, {40, 50, 60}};
    layout.pixels = PadRows({{1, 2, 255, 0}});
    EXPECT_EQ(Pixels(BuildBmp(layout), 4, 1), (std::vector<uint32_t>{0x28323C, 0, 0, 0x0A141E}));
}

TEST(BmpDecoder, DirectColourDepthsFollowTheirMasks) {
    BmpLayout rgb555;
    rgb555.width = 2;
    rgb555.height = 1;
    rgb555.bitCount = 16;
    // 0x7C00 is full red, 0x001F full blue; 5-bit values widen by repeating their top bits.
    rgb555.pixels = PadRows({{0x00, 0x7C, 0x10, 0x42}});
    EXPECT_EQ(Pixels(BuildBmp(rgb555), 2, 1), (std::vector<uint32_t>{RED, 0x848484}));

    BmpLayout rgb565 = rgb555;
    rgb565.compression = BI_BITFIELDS;
    rgb565.masks = {0xF800, 0x07E0, 0x001F};
    rgb565.pixels = PadRows({{0xE0, 0x07, 0x1F, 0x00}});
    EXPECT_EQ(Pixels(BuildBmp(rgb565), 2, 1), (std::vector<uint32_t>{GREEN, BLUE}));

    BmpLayout rgb24;
    rgb24.width = 2;
    rgb24.height = 1;
    rgb24.bitCount = 24;
    rgb24.pixels = PadRows({{0x01, 0x02, 0x03, 0xFF, 0x80, 0x00}}); // blue, green, red
    EXPECT_EQ(Pixels(BuildBmp(rgb24), 2, 1), (std::vector<uint32_t>{0x030201, 0x0080FF}));

    BmpLayout rgb32;
    rgb32.width = 1;
    rgb32.height = 1;
    rgb32.bitCount = 32;
    rgb32.pixels = {0x11, 0x22, 0x33, 0x99}; // the fourth byte is not colour
    EXPECT_EQ(Pixels(BuildBmp(rgb32), 1, 1), (std::vector<uint32_t>{0x332211}));

    // Bit fields with red in the low byte, given inside a V5 header.
    BmpLayout v5 = rgb32;
    v5.headerSize = 124;
    v5.compression = BI_BITFIELDS;
    v5.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
    EXPECT_EQ(Pixels(BuildBmp(v5), 1, 1), (std::vector<uint32_t>{0x112233}));
}

TEST(BmpDecoder, BottomUpAndTopDownGiveTheSamePicture) {
    const std::vector<Bytes> rows = {{0, 1}, {2, 3}, {3, 0}};
    BmpLayout bottomUp;
    bottomUp.width = 2;
    bottomUp.height = 3;
    bottomUp.bitCount = 8;
    bottomUp.colors = FOUR_COLORS;
    bottomUp.pixels = PadRows(rows);
    BmpLayout topDown = bottomUp;
    topDown.height = -3;
    topDown.pixels = PadRows(rows, true);
    const std::vector<uint32_t> expected = {RED, GREEN, BLUE, WHITE, WHITE, RED};
    EXPECT_EQ(Pixels(BuildBmp(bottomUp), 2, 3), expected);
    EXPECT_EQ(Pixels(BuildBmp(topDown), 2, 3), expected);

    HBITMAP bitmap = CreateDibSectionFromBmp(BuildBmp(topDown).data(), BuildBmp(topDown).size());
    BITMAP description{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof(description), &description), int(sizeof(BITMAP)));
    EXPECT_EQ(description.bmWidth, 2);
    EXPECT_EQ(description.bmHeight, 3); // positive whatever the file's order
    EXPECT_EQ(description.bmWidthBytes, 4);
    EXPECT_EQ(description.bmBitsPixel, 8);
    ASSERT_NE(description.bmBits, nullptr);
    EXPECT_EQ(static_cast<uint8_t*>(description.bmBits)[4], 2); // rows top to bottom in memory
    DeleteObject(bitmap);
}

TEST(BmpDecoder, CoreHeaderUsesThreeByteColourEntries) {
    BmpLayout layout;
    layout.headerSize = 12;
    layout.width = 2;
    layout.height = 1;
    layout.bitCount = 8;
    layout.colors = FOUR_COLORS; // a core header's table always has 2^bits entries...
    layout.colors.resize(256);   // ...written as RGB triples
    layout.pixels = PadRows({{2, 3}});
    EXPECT_EQ(Pixels(BuildBmp(layout), 2, 1), (std::vector<uint32_t>{BLUE, WHITE}));
}

TEST(BmpDecoder, Rle8RunsAbsoluteRunsDeltasAndLineEnds) {
    // Four columns: rows have no padding, so a pixel written past a row's end would land in the
    // next row in memory and show.
    BmpLayout layout;
    layout.width = 4;
    layout.height = 3;
    layout.bitCount = 8;
    layout.compression = BI_RLE8;
    layout.colors = FOUR_COLORS;
    layout.pixels = {
        3, 1,             // bottom row: three greens...
        0, 3, 2, 3, 0, 0, // ...then an absolute run blue, white, red (two past the end) and a pad
        0, 0,             // end of line
        0, 2, 2, 1,       // delta: two right, one up (middle row skipped: index 0 = red)
        2, 3,             // top row, columns 2 and 3: white
        3, 3,             // three more, all past the end: dropped
        0, 1,             // end of bitmap
    };
    EXPECT_EQ(Pixels(BuildBmp(layout), 4, 3), (std::vector<uint32_t>{RED, RED, WHITE, WHITE, // top
                                                                     RED, RED, RED, RED, // skipped
                                                                     GREEN, GREEN, GREEN, BLUE}));
}

TEST(BmpDecoder, Rle4AlternatesNibbles) {
    BmpLayout layout;
    layout.width = 6;
    layout.height = 1;
    layout.bitCount = 4;
    layout.compression = BI_RLE4;
    layout.colors = FOUR_COLORS;
    layout.pixels = {
        3, 0x12,             // green, blue, green
        0, 3,    0x30, 0x20, // absolute: white, red, blue (two bytes, already even)
        0, 1,
    };
    EXPECT_EQ(Pixels(BuildBmp(layout), 6, 1),
              (std::vector<uint32_t>{GREEN, BLUE, GREEN, WHITE, RED, BLUE}));
}

TEST(BmpDecoder, RefusesMalformedHeaders) {
    BmpLayout good;
    good.width = 2;
    good.height = 2;
    good.bitCount = 8;
    good.colors = FOUR_COLORS;
    good.pixels = PadRows({{0, 1}, {2, 3}});
    ASSERT_STREQ(RefusalOf(BuildBmp(good)), "accepted");
    // A smaller budget (fuzzing's) refuses what passes it.
    EXPECT_STREQ(RefusalOf(BuildBmp(good), 4), "accepted");
    EXPECT_STREQ(RefusalOf(BuildBmp(good), 3), "image too large");

    struct Case {
        const char* what;
        const char* reason;
        BmpLayout layout;
    };
    std::vector<Case> cases;
    auto add = [&](const char* what, const char* reason, auto change) {
        BmpLayout layout = good;
        change(layout);
        cases.push_back({what, reason, layout});
    };
    add("zero width", "width is not positive", [](BmpLayout& s) { s.width = 0; });
    add("negative width", "width is not positive", [](BmpLayout& s) { s.width = -2; });
    add("zero height", "height is zero", [](BmpLayout& s) { s.height = 0; });
    add("most negative height", "image too large", [](BmpLayout& s) { s.height = INT32_MIN; });
    add("huge width", "image too large", [](BmpLayout& s) { s.width = 1 << 30; });
    add("too many pixels", "image too large", [](BmpLayout& s) { s.width = s.height = 16384; });
    add("zero planes", "plane count is not 1", [](BmpLayout& s) { s.planes = 0; });
    add("3 bits per pixel", "unsupported bits per pixel", [](BmpLayout& s) { s.bitCount = 3; });
    add("JPEG payload", "unsupported compression", [](BmpLayout& s) { s.compression = 4; });
    add("RLE8 at 4 bits", "RLE8 needs 8 bits per pixel",
        [](BmpLayout& s) { s.compression = BI_RLE8, s.bitCount = 4; });
    add("top-down RLE", "run-length image cannot be top-down",
        [](BmpLayout& s) { s.compression = BI_RLE8, s.height = -2; });
    add("bit fields at 8 bits", "bit fields need 16 or 32 bits per pixel",
        [](BmpLayout& s) { s.compression = BI_BITFIELDS; });
    add("unknown header size", "unsupported info header", [](BmpLayout& s) { s.headerSize = 64; });
    add("offset past the end", "pixel data offset is past the end of the file",
        [](BmpLayout& s) { s.pixelOffset = 1 << 24; });
    add("offset into the headers", "pixel data offset points into the headers",
        [](BmpLayout& s) { s.pixelOffset = 20; });
    add("pixels cut short", "pixel data runs past the end of the file",
        [](BmpLayout& s) { s.pixels.resize(5); });
    add("colour table cut short", "colour table runs past the end of the file", [](BmpLayout& s) {
        s.colorsUsed = 200;
        s.pixelOffset = 14 + 40 + 16;
        s.pixels.clear();
    });
    BmpLayout fields = good;
    fields.bitCount = 16;
    fields.colors.clear();
    fields.compression = BI_BITFIELDS;
    fields.masks = {0xF800, 0x07E0, 0x001F};
    fields.pixels = PadRows({{0, 0, 0, 0}, {0, 0, 0, 0}});
    ASSERT_STREQ(RefusalOf(BuildBmp(fields)), "accepted");
    const char* notSeparate = "bit field masks are not separate runs of bits within the pixel";
    auto addFields = [&](const char* what, const char* reason, std::vector<uint32_t> masks) {
        BmpLayout layout = fields;
        layout.masks = masks;
        cases.push_back({what, reason, layout});
    };
    addFields("a zero mask", "bit field mask is zero", {0xF800, 0, 0x001F});
    addFields("overlapping masks", notSeparate, {0xF800, 0x0FE0, 0x001F});
    addFields("a mask with a gap", notSeparate, {0xF801, 0x07E0, 0x001E});
    addFields("a mask wider than the pixel", notSeparate, {0xF8000, 0x07E0, 0x001F});

    for (const Case& c : cases) {
        EXPECT_STREQ(RefusalOf(BuildBmp(c.layout)), c.reason) << c.what;
    }
    Bytes notBmp = BuildBmp(good);
    notBmp[0] = 'X';
    EXPECT_STREQ(RefusalOf(notBmp), "not a BMP file");
    Bytes tooShort = BuildBmp(good);
    tooShort.resize(30);
    EXPECT_STRNE(RefusalOf(tooShort), "accepted");
    EXPECT_EQ(CreateDibSectionFromBmp(nullptr, 0), nullptr);
}

TEST(BmpDecoder, RefusesRunsThatEndBeforeTheirMarker) {
    BmpLayout layout;
    layout.width = 4;
    layout.height = 2;
    layout.bitCount = 8;
    layout.compression = BI_RLE8;
    layout.colors = FOUR_COLORS;
    layout.pixels = {4, 1, 0, 0, 0, 4, 1, 2, 3}; // absolute run of 4 with only 3 bytes left
    EXPECT_STREQ(RefusalOf(BuildBmp(layout)), "run-length data ends before its end marker");
    layout.pixels = {4, 1, 0, 0, 4}; // a lone byte where a pair should be
    EXPECT_STREQ(RefusalOf(BuildBmp(layout)), "run-length data ends before its end marker");
    layout.pixels = {4, 1, 0, 0, 4, 2, 0, 0}; // every row complete: no marker needed
    EXPECT_STREQ(RefusalOf(BuildBmp(layout)), "accepted");
}
