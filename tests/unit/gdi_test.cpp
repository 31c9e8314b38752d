// GDI contexts, block transfers onto surface contexts of each depth, clipping, and text. Surface
// memory is surrounded by guard bytes so that any write outside the view shows.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/win32/gdi_dib.h"
#include "platform/win32/gdi_surface_dc.h"
#include "support/image_files.h"

using namespace test_images;

namespace {

constexpr uint8_t GUARD = 0xA5;

// Surface memory with a guard band of whole rows above and below and spare bytes in every row.
class GuardedView {
public:
    GuardedView(int width, int height, DWORD bitCount, DWORD r, DWORD g, DWORD b, DWORD a = 0)
        : pitch_(width * static_cast<int>(bitCount) / 8 + 8),
          memory_(static_cast<size_t>(pitch_) * (height + 2), GUARD) {
        view.bits = memory_.data() + pitch_;
        view.width = width;
        view.height = height;
        view.pitch = pitch_;
        view.bitCount = bitCount;
        view.redMask = r;
        view.greenMask = g;
        view.blueMask = b;
        view.alphaMask = a;
        for (int y = 0; y < height; ++y) {
            std::memset(Row(y), 0, static_cast<size_t>(width) * bitCount / 8);
        }
    }
    uint8_t* Row(int y) { return static_cast<uint8_t*>(view.bits) + y * pitch_; }
    uint32_t At(int x, int y) {
        uint32_t v = 0;
        std::memcpy(&v, Row(y) + x * view.bitCount / 8, view.bitCount / 8);
        return v;
    }
    // True when nothing outside the view's own bytes changed.
    bool GuardsIntact() const {
        const size_t rowBytes = static_cast<size_t>(view.width) * view.bitCount / 8;
        for (size_t i = 0; i < memory_.size(); ++i) {
            const size_t row = i / pitch_;
            const size_t column = i % pitch_;
            const bool inside =
                row >= 1 && row <= static_cast<size_t>(view.height) && column < rowBytes;
            if (!inside && memory_[i] != GUARD) {
                return false;
            }
        }
        return true;
    }
    PixelView view;

private:
    int pitch_;
    std::vector<uint8_t> memory_;
};

// A 4 x 2 8-bit bitmap: top row indices 0 1 2 3, bottom row 3 2 1 0.
HBITMAP MakeIndexedBitmap() {
    BmpLayout layout;
    layout.width = 4;
    layout.height = 2;
    layout.bitCount = 8;
    layout.colors = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {250, 250, 250}};
    layout.pixels = PadRows({{0, 1, 2, 3}, {3, 2, 1, 0}});
    const Bytes file = BuildBmp(layout);
    return CreateDibSectionFromBmp(file.data(), file.size());
}

// Copies `bitmap` at (x, y) into the view through a memory and a surface context.
BOOL Blit(HBITMAP bitmap, GuardedView& target, int x, int y, int cx, int cy, int x1 = 0,
          int y1 = 0) {
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, bitmap);
    HDC surface = CreateSurfaceDC(target.view);
    const BOOL result = BitBlt(surface, x, y, cx, cy, memory, x1, y1, SRCCOPY);
    DeleteSurfaceDC(surface);
    DeleteDC(memory);
    return result;
}

} // namespace

TEST(Gdi, MemoryContextsOwnTheirSelectionAndRefuseStaleHandles) {
    HBITMAP bitmap = MakeIndexedBitmap();
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(GetObjectA(bitmap, 0, nullptr), int(sizeof(BITMAP)));

    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(nullptr);
    HGDIOBJ original = SelectObject(first, bitmap);
    ASSERT_NE(original, nullptr); // the context's starting bitmap, to be put back by the caller
    EXPECT_EQ(SelectObject(second, bitmap), nullptr) << "a bitmap lives in one context at a time";
    EXPECT_FALSE(DeleteObject(bitmap)) << "a selected bitmap is not deleted";

    RGBQUAD colors[8] = {};
    EXPECT_EQ(GetDIBColorTable(first, 0, 8, colors), 4u);
    EXPECT_EQ(colors[3].rgbRed, 250);
    EXPECT_EQ(GetDIBColorTable(first, 2, 8, colors), 2u);
    EXPECT_EQ(colors[0].rgbBlue, 255);
    EXPECT_EQ(GetDIBColorTable(first, 4, 8, colors), 0u);

    EXPECT_EQ(SelectObject(first, original), ToGdiObject(bitmap));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(bitmap)) << "deleted twice";
    BITMAP description{};
    EXPECT_EQ(GetObjectA(bitmap, sizeof(description), &description), 0);
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);
    EXPECT_TRUE(DeleteDC(first));
    EXPECT_TRUE(DeleteDC(second));
    EXPECT_FALSE(DeleteDC(second));
    EXPECT_EQ(GetDIBColorTable(second, 0, 8, colors), 0u);
}

TEST(Gdi, DeletingTheContextReleasesItsBitmap) {
    HBITMAP bitmap = MakeIndexedBitmap();
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, bitmap);
    DeleteDC(memory); // as the texture upload does, without selecting the old bitmap back
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(Gdi, BlitConvertsToSixteenBitMasks) {
    HBITMAP bitmap = MakeIndexedBitmap();
    GuardedView rgb565(4, 2, 16, 0xF800, 0x07E0, 0x001F);
    ASSERT_TRUE(Blit(bitmap, rgb565, 0, 0, 4, 2));
    EXPECT_EQ(rgb565.At(0, 0), 0xF800u);
    EXPECT_EQ(rgb565.At(1, 0), 0x07E0u);
    EXPECT_EQ(rgb565.At(2, 0), 0x001Fu);
    EXPECT_EQ(rgb565.At(3, 0), 0xFFDFu); // 250 keeps its top 5 and 6 bits: 31, 62, 31
    EXPECT_EQ(rgb565.At(0, 1), 0xFFDFu);

    // An alpha channel in the target is left at 0, as GDI leaves it.
    GuardedView argb1555(4, 2, 16, 0x7C00, 0x03E0, 0x001F, 0x8000);
    ASSERT_TRUE(Blit(bitmap, argb1555, 0, 0, 4, 2));
    EXPECT_EQ(argb1555.At(0, 0), 0x7C00u);
    EXPECT_EQ(argb1555.At(3, 0), 0x7FFFu);
    EXPECT_TRUE(rgb565.GuardsIntact());
    EXPECT_TRUE(argb1555.GuardsIntact());
    DeleteObject(bitmap);
}

TEST(Gdi, BlitOntoPalettedSurfacesCopiesIndicesOrPicksTheNearest) {
    PALETTEENTRY palette[256] = {};
    palette[7] = PALETTEENTRY{200, 10, 10, 0};
    palette[9] = PALETTEENTRY{10, 10, 200, 0};
    palette[0] = PALETTEENTRY{128, 128, 128, 0};

    HBITMAP indexed = MakeIndexedBitmap();
    GuardedView copy(4, 2, 8, 0, 0, 0);
    copy.view.palette = palette;
    ASSERT_TRUE(Blit(indexed, copy, 0, 0, 4, 2));
    EXPECT_EQ(copy.At(0, 0), 0u);
    EXPECT_EQ(copy.At(3, 0), 3u); // the index itself, whatever colour the surface gives it
    EXPECT_EQ(copy.At(1, 1), 2u);
    DeleteObject(indexed);

    BmpLayout layout;
    layout.width = 3;
    layout.height = 1;
    layout.bitCount = 24;
    layout.pixels = PadRows({{0, 0, 255, 255, 0, 0, 100, 120, 140}}); // red, blue, grey
    const Bytes file = BuildBmp(layout);
    HBITMAP direct = CreateDibSectionFromBmp(file.data(), file.size());
    GuardedView nearest(3, 1, 8, 0, 0, 0);
    nearest.view.palette = palette;
    ASSERT_TRUE(Blit(direct, nearest, 0, 0, 3, 1));
    EXPECT_EQ(nearest.At(0, 0), 7u);
    EXPECT_EQ(nearest.At(1, 0), 9u);
    EXPECT_EQ(nearest.At(2, 0), 0u);
    EXPECT_TRUE(nearest.GuardsIntact());
    DeleteObject(direct);
}

TEST(Gdi, BlitIsClippedToBothBitmapAndSurface) {
    HBITMAP bitmap = MakeIndexedBitmap();
    const uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF;

    GuardedView small(3, 3, 32, 0xFF0000, 0x00FF00, 0x0000FF);
    ASSERT_TRUE(Blit(bitmap, small, -1, 2, 100, 100)); // left and bottom cut
    EXPECT_EQ(small.At(0, 2), green);
    EXPECT_EQ(small.At(1, 2), blue);
    EXPECT_EQ(small.At(0, 1), 0u);
    EXPECT_TRUE(small.GuardsIntact());

    GuardedView offset(3, 3, 32, 0xFF0000, 0x00FF00, 0x0000FF);
    ASSERT_TRUE(Blit(bitmap, offset, 1, 0, 2, 2, 2, 1)); // from source (2, 1): 1 0
    EXPECT_EQ(offset.At(1, 0), green);
    EXPECT_EQ(offset.At(2, 0), red);
    EXPECT_EQ(offset.At(1, 1), 0u) << "source row 2 does not exist";
    EXPECT_TRUE(offset.GuardsIntact());

    GuardedView untouched(3, 3, 32, 0xFF0000, 0x00FF00, 0x0000FF);
    EXPECT_TRUE(Blit(bitmap, untouched, 5, 5, 4, 2));
    EXPECT_TRUE(Blit(bitmap, untouched, 0, 0, 4, 2, -10, -10));
    EXPECT_TRUE(Blit(bitmap, untouched, INT32_MIN, INT32_MAX, INT32_MAX, INT32_MAX));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(untouched.At(x, y), 0u);
        }
    }
    EXPECT_TRUE(untouched.GuardsIntact());

    HDC memory = CreateCompatibleDC(nullptr);
    HDC surface = CreateSurfaceDC(untouched.view);
    SelectObject(memory, bitmap);
    EXPECT_FALSE(BitBlt(surface, 0, 0, 1, 1, memory, 0, 0, 0x00EE0086)) << "only SRCCOPY";
    EXPECT_FALSE(BitBlt(memory, 0, 0, 1, 1, surface, 0, 0, SRCCOPY)) << "surface to bitmap";
    DeleteSurfaceDC(surface);
    DeleteDC(memory);
    DeleteObject(bitmap);

    PixelView bad = untouched.view;
    bad.pitch = 4; // narrower than a row
    EXPECT_EQ(CreateSurfaceDC(bad), nullptr);
    bad = untouched.view;
    bad.bitCount = 4;
    EXPECT_EQ(CreateSurfaceDC(bad), nullptr);
}

TEST(Gdi, TextDrawsGlyphsInTheTextColourClippedToTheSurface) {
    GuardedView view(14, 8, 32, 0xFF0000, 0x00FF00, 0x0000FF);
    HDC dc = CreateSurfaceDC(view.view);
    SetTextColor(dc, RGB(100, 100, 100));
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    ASSERT_TRUE(ExtTextOutA(dc, 0, 0, 0, nullptr, "1.", 2, nullptr));
    // '1': a vertical stroke in column 2 of its cell, a foot from column 1 to 3 on row 6.
    EXPECT_EQ(view.At(2, 3), 0x646464u);
    EXPECT_EQ(view.At(1, 6), 0x646464u);
    EXPECT_EQ(view.At(0, 3), 0u) << "transparent background";
    // '.': the second cell starts at column 6; its dot is columns 7 and 8, rows 5 and 6.
    EXPECT_EQ(view.At(7, 6), 0x646464u);
    EXPECT_EQ(view.At(6, 6), 0u);

    SetBkMode(dc, OPAQUE);
    ASSERT_TRUE(ExtTextOutA(dc, 10, -3, 0, nullptr, "88", 2, nullptr)); // off right and top
    EXPECT_EQ(view.At(13, 4), 0xFFFFFFu) << "opaque background in the cell";
    EXPECT_TRUE(view.GuardsIntact());
    DeleteSurfaceDC(dc);
    EXPECT_FALSE(ExtTextOutA(dc, 0, 0, 0, nullptr, "1", 1, nullptr)) << "released context";
}
