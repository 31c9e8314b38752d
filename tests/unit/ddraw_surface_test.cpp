// DirectDraw surfaces in memory: locking with real pitch and masks, the blitter's stretching and
// conversions, palettes, device contexts.
#include <gtest/gtest.h>

#include "platform/ddraw/ddraw.h"
#include "platform/ddraw/rgba_pixels.h"
#include "platform/ddraw/surface.h"
#include "platform/win32/com_object.h"
#include "support/graphics_test_support.h"

using ddraw::PixelKind;
using gfx_test::CreateSurface;
using gfx_test::ReadRawPixels;
using gfx_test::WriteRawPixels;

namespace {

class SurfaceTest : public ::testing::Test {
protected:
    void SetUp() override { directDraw = gfx_test::CreateDirectDraw(); }
    void TearDown() override { EXPECT_EQ(directDraw->Release(), 0u); }

    IDirectDrawPalette* MakePalette(DWORD caps, const std::vector<PALETTEENTRY>& entries) {
        std::vector<PALETTEENTRY> all(256);
        std::copy(entries.begin(), entries.end(), all.begin());
        IDirectDrawPalette* palette = nullptr;
        EXPECT_EQ(directDraw->CreatePalette(caps, all.data(), &palette, nullptr), DD_OK);
        return palette;
    }

    host::ScopedDrivers drivers{test_drivers::TypicalFakeDrivers()};
    IDirectDraw7* directDraw = nullptr;
};

TEST_F(SurfaceTest, LockReportsPitchMasksAndAnAddressThatLastsUntilUnlock) {
    struct Case {
        PixelKind kind;
        DWORD bits, red, green, blue, alpha;
    };
    const Case cases[] = {
        {PixelKind::RGB565, 16, 0xF800, 0x07E0, 0x001F, 0},
        {PixelKind::ARGB1555, 16, 0x7C00, 0x03E0, 0x001F, 0x8000},
        {PixelKind::ARGB4444, 16, 0x0F00, 0x00F0, 0x000F, 0xF000},
        {PixelKind::XRGB8888, 32, 0xFF0000, 0xFF00, 0xFF, 0},
        {PixelKind::ARGB8888, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000},
        {PixelKind::PAL8, 8, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        IDirectDrawSurface7* surface = CreateSurface(directDraw, 13, 5, c.kind);
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof(desc);
        ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, c.bits);
        EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, c.red);
        EXPECT_EQ(desc.ddpfPixelFormat.dwGBitMask, c.green);
        EXPECT_EQ(desc.ddpfPixelFormat.dwBBitMask, c.blue);
        EXPECT_EQ(desc.ddpfPixelFormat.dwRGBAlphaBitMask, c.alpha);
        // Rows are padded: a pitch of exactly width x bytes would hide callers that ignore it.
        EXPECT_GE(desc.lPitch, LONG(13 * c.bits / 8));
        EXPECT_EQ(desc.lPitch % 8, 0);
        EXPECT_NE(desc.dwFlags & DDSD_LPSURFACE, 0u);
        void* address = desc.lpSurface;
        ASSERT_NE(address, nullptr);
        // The last byte of the last row is writable memory (the sanitizer build checks it).
        static_cast<BYTE*>(address)[4 * desc.lPitch + 13 * c.bits / 8 - 1] = 0xAB;

        DDSURFACEDESC2 again{};
        again.dwSize = sizeof(again);
        EXPECT_EQ(surface->Lock(nullptr, &again, 0, nullptr), DDERR_SURFACEBUSY);
        ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
        EXPECT_EQ(desc.lpSurface.Get(), nullptr) << "the token is retired at Unlock";
        EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);
        surface->Release();
    }
}

TEST_F(SurfaceTest, LockOfARectangleStartsAtItsCornerAndRefusesRectanglesOutside) {
    IDirectDrawSurface7* surface = CreateSurface(directDraw, 8, 8, PixelKind::XRGB8888);
    DDSURFACEDESC2 whole{}, part{};
    whole.dwSize = part.dwSize = sizeof(DDSURFACEDESC2);
    ASSERT_EQ(surface->Lock(nullptr, &whole, 0, nullptr), DD_OK);
    BYTE* base = whole.lpSurface;
    ASSERT_EQ(surface->Unlock(nullptr), DD_OK);

    RECT rect{2, 3, 5, 7};
    ASSERT_EQ(surface->Lock(&rect, &part, 0, nullptr), DD_OK);
    BYTE* corner = part.lpSurface;
    EXPECT_EQ(corner - base, 3 * whole.lPitch + 2 * 4);
    ASSERT_EQ(surface->Unlock(nullptr), DD_OK);

    for (RECT bad : {RECT{0, 0, 9, 1}, RECT{-1, 0, 2, 2}, RECT{3, 3, 3, 4}, RECT{5, 5, 2, 6}}) {
        EXPECT_EQ(surface->Lock(&bad, &part, 0, nullptr), DDERR_INVALIDRECT);
    }
    surface->Release();
}

TEST_F(SurfaceTest, BltStretchesWithNearestPixels) {
    IDirectDrawSurface7* small = CreateSurface(directDraw, 2, 2, PixelKind::XRGB8888);
    IDirectDrawSurface7* large = CreateSurface(directDraw, 4, 6, PixelKind::XRGB8888);
    WriteRawPixels(small, {1, 2, 3, 4});

    ASSERT_EQ(large->Blt(nullptr, small, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(ReadRawPixels(large), (std::vector<DWORD>{1, 1, 2, 2, 1, 1, 2, 2, 1, 1, 2, 2,
                                                        3, 3, 4, 4, 3, 3, 4, 4, 3, 3, 4, 4}));

    // Shrinking samples the pixel under each destination pixel's centre.
    std::vector<DWORD> counting(24);
    for (DWORD i = 0; i < 24; ++i) {
        counting[i] = i;
    }
    WriteRawPixels(large, counting);
    ASSERT_EQ(small->Blt(nullptr, large, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(ReadRawPixels(small), (std::vector<DWORD>{5, 7, 17, 19}));

    // Into a part of the destination, from a part of the source.
    RECT to{1, 1, 3, 2}, from{0, 1, 1, 2};
    WriteRawPixels(small, {7, 8, 9, 10});
    ASSERT_EQ(large->Blt(&to, small, &from, 0, nullptr), DD_OK);
    const std::vector<DWORD> after = ReadRawPixels(large);
    EXPECT_EQ(after[4 + 1], 9u);
    EXPECT_EQ(after[4 + 2], 9u);
    EXPECT_EQ(after[4 + 3], 7u) << "outside the rectangle nothing changes";

    RECT outside{0, 0, 5, 1};
    EXPECT_EQ(large->Blt(&outside, small, nullptr, 0, nullptr), DDERR_INVALIDRECT);
    small->Release();
    large->Release();
}

TEST_F(SurfaceTest, BltConvertsBetweenDirectColourFormats) {
    IDirectDrawSurface7* rgb565 = CreateSurface(directDraw, 4, 1, PixelKind::RGB565);
    IDirectDrawSurface7* argb8888 = CreateSurface(directDraw, 4, 1, PixelKind::ARGB8888);
    IDirectDrawSurface7* argb1555 = CreateSurface(directDraw, 4, 1, PixelKind::ARGB1555);
    // Full channels widen to 255, not 248 or 252; a source without alpha reads as opaque.
    WriteRawPixels(rgb565, {0xF800, 0x07E0, 0x001F, 0x8410});
    ASSERT_EQ(argb8888->Blt(nullptr, rgb565, nullptr, 0, nullptr), DD_OK);
    EXPECT_EQ(ReadRawPixels(argb8888),
              (std::vector<DWORD>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF848284}));

    // Narrowing keeps the high bits; alpha survives where both formats have it.
    WriteRawPixels(argb8888, {0x80FF0000, 0x7F00FF00, 0xFF0000FF, 0x00FFFFFF});
    ASSERT_EQ(argb1555->Blt(nullptr, argb8888, nullptr, 0, nullptr), DD_OK);
    EXPECT_EQ(ReadRawPixels(argb1555), (std::vector<DWORD>{0xFC00, 0x03E0, 0x801F, 0x7FFF}));
    rgb565->Release();
    argb8888->Release();
    argb1555->Release();
}

TEST_F(SurfaceTest, BltFromPaletteIndicesLooksColoursUpAndCopiesIndicesBetweenPalettedSurfaces) {
    IDirectDrawSurface7* indexed = CreateSurface(directDraw, 3, 1, PixelKind::PAL8);
    IDirectDrawSurface7* otherIndexed = CreateSurface(directDraw, 3, 1, PixelKind::PAL8);
    IDirectDrawSurface7* direct = CreateSurface(directDraw, 3, 1, PixelKind::ARGB8888);
    WriteRawPixels(indexed, {0, 1, 2});

    IDirectDrawPalette* plain = MakePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256,
                                            {{0, 0, 0, 0}, {255, 0, 0, 0}, {10, 20, 30, 0}});
    ASSERT_EQ(indexed->SetPalette(plain), DD_OK);
    ASSERT_EQ(direct->Blt(nullptr, indexed, nullptr, 0, nullptr), DD_OK);
    EXPECT_EQ(ReadRawPixels(direct), (std::vector<DWORD>{0xFF000000, 0xFFFF0000, 0xFF0A141E}));

    // With DDPCAPS_ALPHA the entries' flags are their alpha.
    IDirectDrawPalette* withAlpha =
        MakePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256 | DDPCAPS_ALPHA,
                    {{0, 0, 0, 0}, {255, 0, 0, 255}, {10, 20, 30, 0x80}});
    ASSERT_EQ(indexed->SetPalette(withAlpha), DD_OK);
    ASSERT_EQ(direct->Blt(nullptr, indexed, nullptr, 0, nullptr), DD_OK);
    EXPECT_EQ(ReadRawPixels(direct), (std::vector<DWORD>{0x00000000, 0xFFFF0000, 0x800A141E}));

    ASSERT_EQ(otherIndexed->Blt(nullptr, indexed, nullptr, 0, nullptr), DD_OK);
    EXPECT_EQ(ReadRawPixels(otherIndexed), (std::vector<DWORD>{0, 1, 2}));
    EXPECT_EQ(indexed->Blt(nullptr, direct, nullptr, 0, nullptr), DDERR_UNSUPPORTED);

    EXPECT_EQ(direct->SetPalette(plain), DDERR_INVALIDPIXELFORMAT);
    plain->Release();
    withAlpha->Release();
    indexed->Release();
    otherIndexed->Release();
    direct->Release();
}

TEST_F(SurfaceTest, ColourFillWritesTheRawValueInsideTheRectangle) {
    IDirectDrawSurface7* surface = CreateSurface(directDraw, 3, 2, PixelKind::RGB565);
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = 0x1234;
    RECT rect{1, 0, 3, 1};
    ASSERT_EQ(surface->Blt(&rect, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    EXPECT_EQ(ReadRawPixels(surface), (std::vector<DWORD>{0, 0x1234, 0x1234, 0, 0, 0}));
    EXPECT_EQ(surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, nullptr),
              DDERR_INVALIDPARAMS);
    surface->Release();
}

TEST_F(SurfaceTest, PalettesKeepTheirEntriesBoundedAndCountedReferences) {
    IDirectDrawPalette* palette = MakePalette(DDPCAPS_4BIT, {{1, 2, 3, 0}});
    PALETTEENTRY entries[16]{};
    EXPECT_EQ(palette->GetEntries(0, 0, 16, entries), DD_OK);
    EXPECT_EQ(entries[0].peBlue, 3);
    EXPECT_EQ(palette->GetEntries(0, 10, 7, entries), DDERR_INVALIDPARAMS);
    EXPECT_EQ(palette->SetEntries(0, 16, 1, entries), DDERR_INVALIDPARAMS);
    EXPECT_EQ(palette->SetEntries(0, 0xFFFFFFFF, 2, entries), DDERR_INVALIDPARAMS);

    IDirectDrawPalette* none = nullptr;
    EXPECT_EQ(directDraw->CreatePalette(0, entries, &none, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(none, nullptr);

    IDirectDrawSurface7* surface = CreateSurface(directDraw, 2, 2, PixelKind::PAL8);
    ASSERT_EQ(surface->SetPalette(palette), DD_OK);
    EXPECT_EQ(gfx_test::RefCount(palette), 2u);
    IDirectDrawPalette* got = nullptr;
    ASSERT_EQ(surface->GetPalette(&got), DD_OK);
    EXPECT_EQ(got, palette);
    EXPECT_EQ(got->Release(), 2u);

    // Changing the entries of an attached palette changes what the surface shows.
    ddraw::Surface* inner = ddraw::SurfaceFromInterface(surface);
    const uint64_t before = inner->ContentVersion();
    EXPECT_EQ(palette->SetEntries(0, 0, 1, entries), DD_OK);
    EXPECT_GT(inner->ContentVersion(), before);

    EXPECT_EQ(surface->Release(), 0u);
    EXPECT_EQ(palette->Release(), 0u);
}

TEST_F(SurfaceTest, DeviceContextExcludesLockingUntilReleased) {
    IDirectDrawSurface7* surface = CreateSurface(directDraw, 4, 4, PixelKind::RGB565);
    HDC dc = nullptr;
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    ASSERT_NE(dc, nullptr);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    EXPECT_EQ(surface->Lock(nullptr, &desc, 0, nullptr), DDERR_SURFACEBUSY);
    HDC second = nullptr;
    EXPECT_EQ(surface->GetDC(&second), DDERR_SURFACEBUSY);
    EXPECT_EQ(surface->ReleaseDC(reinterpret_cast<HDC>(0x99)), DDERR_NODC);
    EXPECT_EQ(surface->ReleaseDC(dc), DD_OK);
    EXPECT_EQ(surface->Lock(nullptr, &desc, 0, nullptr), DD_OK);
    EXPECT_EQ(surface->Unlock(nullptr), DD_OK);
    surface->Release();
}

TEST_F(SurfaceTest, CreateSurfaceRefusesBadDescriptionsBeforeAllocating) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.ddpfPixelFormat = ddraw::MakePixelFormat(PixelKind::XRGB8888);
    IDirectDrawSurface7* surface = nullptr;

    desc.dwWidth = 100000;
    desc.dwHeight = 100000;
    EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DDERR_OUTOFMEMORY);
    desc.dwWidth = 0;
    desc.dwHeight = 4;
    EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPARAMS);

    desc.dwWidth = 4;
    desc.ddpfPixelFormat.dwRBitMask = 0xF0F0; // not one run of bits
    EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPIXELFORMAT);
    desc.ddpfPixelFormat = ddraw::MakePixelFormat(PixelKind::XRGB8888);
    desc.ddpfPixelFormat.dwGBitMask = 0xFF0000; // overlaps red
    EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPIXELFORMAT);
    desc.ddpfPixelFormat = ddraw::MakePixelFormat(PixelKind::Z16);
    EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPIXELFORMAT)
        << "a depth format on a colour surface";

    desc.dwSize = 100;
    EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(surface, nullptr);
}

} // namespace

// The frame reader has its own loops for the back buffer's two formats; they must give what the
// general pixel reader gives, for every 16-bit value and for 32-bit ones whose unused byte is set.
TEST_F(SurfaceTest, FrameReadingMatchesThePixelReaderInBothBackBufferFormats) {
    IDirectDrawSurface7* rgb565 = CreateSurface(directDraw, 256, 256, PixelKind::RGB565);
    std::vector<DWORD> every16(65536);
    for (DWORD value = 0; value < every16.size(); ++value) {
        every16[value] = value;
    }
    WriteRawPixels(rgb565, every16);

    IDirectDrawSurface7* xrgb8888 = CreateSurface(directDraw, 7, 3, PixelKind::XRGB8888);
    std::vector<DWORD> some32(21);
    for (size_t i = 0; i < some32.size(); ++i) {
        some32[i] = 0x9E3779B9u * DWORD(i + 1);
    }
    WriteRawPixels(xrgb8888, some32);

    for (IDirectDrawSurface7* face : {rgb565, xrgb8888}) {
        const ddraw::Surface& surface = *ddraw::SurfaceFromInterface(face);
        std::vector<BYTE> rgba;
        ddraw::SurfaceToRgba(surface, ddraw::AlphaRule::OPAQUE, ddraw::RowOrder::TOP_DOWN, rgba);
        const std::vector<DWORD> raw = ReadRawPixels(face);
        ASSERT_EQ(rgba.size(), raw.size() * 4);
        const int bytes = surface.Layout().bytesPerPixel;
        for (size_t i = 0; i < raw.size(); ++i) {
            BYTE pixel[4] = {BYTE(raw[i]), BYTE(raw[i] >> 8), BYTE(raw[i] >> 16),
                             BYTE(raw[i] >> 24)};
            const ddraw::Argb expected = ddraw::ReadPixel(surface.Layout(), pixel, nullptr, false);
            const DWORD got =
                DWORD(rgba[4 * i]) << 16 | DWORD(rgba[4 * i + 1]) << 8 | rgba[4 * i + 2];
            ASSERT_EQ(got, expected & 0xFFFFFF) << "pixel " << i << " of " << bytes * 8 << "-bit";
            ASSERT_EQ(rgba[4 * i + 3], 0xFF);
        }
    }
    rgb565->Release();
    xrgb8888->Release();
}

// One conversion serves pictures (opaque, top row first), textures (the pixels' own alpha, from
// the palette's flags when it carries alpha) and GL uploads (bottom row first).
TEST_F(SurfaceTest, RgbaConversionFollowsItsAlphaRuleAndRowOrder) {
    auto convert = [](IDirectDrawSurface7* face, ddraw::AlphaRule alpha, ddraw::RowOrder rows) {
        std::vector<BYTE> rgba;
        ddraw::SurfaceToRgba(*ddraw::SurfaceFromInterface(face), alpha, rows, rgba);
        return rgba;
    };
    using ddraw::AlphaRule;
    using ddraw::RowOrder;

    // Two rows of ARGB8888 and ARGB4444: half-transparent red above opaque-less blue.
    for (PixelKind kind : {PixelKind::ARGB8888, PixelKind::ARGB4444}) {
        IDirectDrawSurface7* face = CreateSurface(directDraw, 1, 2, kind);
        WriteRawPixels(face, kind == PixelKind::ARGB8888
                                 ? std::vector<DWORD>{0x88FF0000u, 0x000000FFu}
                                 : std::vector<DWORD>{0x8F00u, 0x000Fu});
        EXPECT_EQ(convert(face, AlphaRule::FROM_PIXELS, RowOrder::TOP_DOWN),
                  (std::vector<BYTE>{255, 0, 0, 0x88, 0, 0, 255, 0}));
        EXPECT_EQ(convert(face, AlphaRule::OPAQUE, RowOrder::TOP_DOWN),
                  (std::vector<BYTE>{255, 0, 0, 255, 0, 0, 255, 255}));
        EXPECT_EQ(convert(face, AlphaRule::FROM_PIXELS, RowOrder::BOTTOM_UP),
                  (std::vector<BYTE>{0, 0, 255, 0, 255, 0, 0, 0x88}));
        face->Release();
    }

    // Formats without alpha are opaque under either rule.
    IDirectDrawSurface7* rgb = CreateSurface(directDraw, 2, 1, PixelKind::XRGB8888);
    WriteRawPixels(rgb, {0x00102030u, 0x77405060u});
    EXPECT_EQ(convert(rgb, AlphaRule::FROM_PIXELS, RowOrder::TOP_DOWN),
              (std::vector<BYTE>{0x10, 0x20, 0x30, 255, 0x40, 0x50, 0x60, 255}));
    rgb->Release();

    // Palette indices: the palette's flags are alpha only for an alpha palette, and only for
    // textures; without a palette, black.
    IDirectDrawSurface7* indexed = CreateSurface(directDraw, 2, 1, PixelKind::PAL8);
    WriteRawPixels(indexed, {1, 0});
    EXPECT_EQ(convert(indexed, AlphaRule::FROM_PIXELS, RowOrder::TOP_DOWN),
              (std::vector<BYTE>{0, 0, 0, 255, 0, 0, 0, 255}));
    for (DWORD caps : {DWORD(DDPCAPS_8BIT), DWORD(DDPCAPS_8BIT | DDPCAPS_ALPHA)}) {
        IDirectDrawPalette* palette = MakePalette(caps, {{1, 2, 3, 0}, {200, 100, 50, 0x40}});
        ASSERT_EQ(indexed->SetPalette(palette), DD_OK);
        const BYTE alpha = (caps & DDPCAPS_ALPHA) != 0 ? 0x40 : 255;
        EXPECT_EQ(convert(indexed, AlphaRule::FROM_PIXELS, RowOrder::TOP_DOWN),
                  (std::vector<BYTE>{200, 100, 50, alpha, 1, 2, 3,
                                     BYTE((caps & DDPCAPS_ALPHA) != 0 ? 0 : 255)}));
        EXPECT_EQ(convert(indexed, AlphaRule::OPAQUE, RowOrder::TOP_DOWN),
                  (std::vector<BYTE>{200, 100, 50, 255, 1, 2, 3, 255}));
        indexed->SetPalette(nullptr);
        palette->Release();
    }
    indexed->Release();
}
