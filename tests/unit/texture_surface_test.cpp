// Device textures from stored images on fake drivers: the size rules, the format search and its
// fall-back, the colour-key cases, TGA channel placement, and the surfaces' life cycle.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/win32/gdi_dib.h"
#include "support/graphics_test_support.h"
#include "support/image_files.h"
#include "texture/texture_surfaces.h"

using namespace test_images;
using ddraw::MakePixelFormat;
using ddraw::PixelKind;

namespace {

std::vector<DDPIXELFORMAT> Formats(std::initializer_list<PixelKind> kinds) {
    std::vector<DDPIXELFORMAT> formats;
    for (PixelKind kind : kinds) {
        formats.push_back(MakePixelFormat(kind));
    }
    return formats;
}

// One device on a fake driver, with a render target, for the texture code to find its
// DirectDraw object through.
class TextureDevice {
public:
    explicit TextureDevice(const drivers::DeviceBuilder& device,
                           const GUID& guid = IID_IDirect3DHALDevice,
                           host::DriverFailures failures = {})
        : drivers_({test_drivers::FakeDriver().Device(device).Failures(failures).Build()}) {
        directDraw = gfx_test::CreateDirectDraw();
        directDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&direct3D_));
        target_ = gfx_test::CreateSurface(directDraw, 32, 32, PixelKind::RGB565,
                                          DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
        EXPECT_EQ(direct3D_->CreateDevice(guid, target_, &device_), D3D_OK);
    }
    ~TextureDevice() {
        InvalidateAllTextures();
        while (textureStore.head != nullptr) {
            RemoveTexture(textureStore.head->name);
        }
        device_->Release();
        target_->Release();
        direct3D_->Release();
        directDraw->Release();
    }
    IDirect3DDevice7* Device() { return device_; }

    IDirectDraw7* directDraw = nullptr;

private:
    host::ScopedDrivers drivers_;
    IDirect3D7* direct3D_ = nullptr;
    IDirectDrawSurface7* target_ = nullptr;
    IDirect3DDevice7* device_ = nullptr;
};

drivers::DeviceBuilder Hal(DWORD textureCaps, std::initializer_list<PixelKind> formats) {
    drivers::DeviceBuilder builder = test_drivers::FakeDevice(IID_IDirect3DHALDevice, "HAL");
    builder.TextureCaps(textureCaps).MaxTextureSize(256, 256).TextureFormats(Formats(formats));
    return builder;
}

// Puts an entry straight into the store, as AddTexture would after loading.
TextureEntry* AddEntry(const char* name, DWORD flags, HBITMAP bitmap, DWORD* pixels,
                       DWORD width = 0, DWORD height = 0, DWORD bitsPerPixel = 0) {
    auto* entry = new TextureEntry{};
    std::strcpy(entry->name, name);
    entry->flags = flags;
    entry->bitmap = bitmap;
    entry->pixels = pixels;
    entry->width = width;
    entry->height = height;
    entry->bitsPerPixel = bitsPerPixel;
    if (bitmap != nullptr) {
        BITMAP description{};
        GetObjectA(bitmap, sizeof(description), &description);
        entry->width = static_cast<DWORD>(description.bmWidth);
        entry->height = static_cast<DWORD>(description.bmHeight);
        entry->bitsPerPixel = description.bmBitsPixel;
    }
    entry->next = textureStore.head;
    textureStore.head = entry;
    return entry;
}

// An 8-bit bitmap whose rows are given as palette indices (top row first).
HBITMAP IndexedBitmap(const std::vector<Bytes>& rows, std::vector<BmpColor> colors) {
    BmpLayout layout;
    layout.width = static_cast<int32_t>(rows[0].size());
    layout.height = static_cast<int32_t>(rows.size());
    layout.bitCount = 8;
    layout.colors = std::move(colors);
    layout.pixels = PadRows(rows);
    const Bytes file = BuildBmp(layout);
    return CreateDibSectionFromBmp(file.data(), file.size());
}

HBITMAP TrueColorBitmap(int width, int height, BmpColor left, BmpColor right) {
    BmpLayout layout;
    layout.width = width;
    layout.height = height;
    layout.bitCount = 24;
    Bytes row;
    for (int x = 0; x < width; ++x) {
        const BmpColor& c = x < width / 2 ? left : right;
        row.insert(row.end(), {c.b, c.g, c.r});
    }
    layout.pixels = PadRows(std::vector<Bytes>(height, row));
    const Bytes file = BuildBmp(layout);
    return CreateDibSectionFromBmp(file.data(), file.size());
}

DDSURFACEDESC2 DescOf(IDirectDrawSurface7* surface) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    EXPECT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
    return desc;
}

} // namespace

TEST(TextureSize, PowersOfTwoThenTheMaximumThenSquare) {
    D3DDEVICEDESC7 caps{};
    caps.dwMaxTextureWidth = caps.dwMaxTextureHeight = 256;
    auto sized = [&](DWORD textureCaps, DWORD width, DWORD height) {
        caps.dpcTriCaps.dwTextureCaps = textureCaps;
        ChooseTextureSize(caps, width, height);
        return std::vector<DWORD>{width, height};
    };
    EXPECT_EQ(sized(D3DPTEXTURECAPS_POW2, 200, 100), (std::vector<DWORD>{256, 128}));
    EXPECT_EQ(sized(D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_SQUAREONLY, 200, 100),
              (std::vector<DWORD>{256, 256}));
    EXPECT_EQ(sized(0, 200, 100), (std::vector<DWORD>{200, 100}));
    EXPECT_EQ(sized(D3DPTEXTURECAPS_POW2, 0, 1000), (std::vector<DWORD>{1, 256}));
    EXPECT_EQ(sized(D3DPTEXTURECAPS_SQUAREONLY, 300, 20), (std::vector<DWORD>{256, 256}));
    caps.dwMaxTextureWidth = caps.dwMaxTextureHeight = 0; // no maximum given: 256
    EXPECT_EQ(sized(0, 1000, 300), (std::vector<DWORD>{256, 256}));
    EXPECT_EQ(sized(0, 17, 3), (std::vector<DWORD>{17, 3}));
}

TEST(TextureFormatSearch, SkipsWhatItCannotUseAndTakesTheFirstMatch) {
    std::vector<DDPIXELFORMAT> listed;
    DDPIXELFORMAT luminance{};
    luminance.dwFlags = DDPF_LUMINANCE;
    luminance.dwRGBBitCount = 16;
    DDPIXELFORMAT fourCC = MakePixelFormat(PixelKind::RGB565);
    fourCC.dwFourCC = 0x31545844;
    listed = {luminance,
              fourCC,
              MakePixelFormat(PixelKind::ARGB4444),
              MakePixelFormat(PixelKind::ARGB1555),
              MakePixelFormat(PixelKind::RGB565),
              MakePixelFormat(PixelKind::XRGB1555),
              MakePixelFormat(PixelKind::PAL8)};
    auto search = [&](DWORD bits, BOOL alpha, BOOL palettized) {
        DDPIXELFORMAT chosen{};
        TextureFormatQuery query{bits, alpha, palettized, FALSE, &chosen};
        for (DDPIXELFORMAT& format : listed) {
            if (AcceptTextureFormat(&format, &query) == D3DENUMRET_CANCEL) {
                break;
            }
        }
        return query.found ? chosen.dwRGBAlphaBitMask << 16 | chosen.dwRBitMask : 0xDEAD;
    };
    EXPECT_EQ(search(16, FALSE, FALSE), 0xF800u) << "RGB565, not the luminance or FourCC ones";
    EXPECT_EQ(search(16, TRUE, FALSE), (0x8000u << 16) | 0x7C00) << "ARGB1555, never 4444";
    EXPECT_EQ(search(8, TRUE, TRUE), 0u) << "the palette format";
    EXPECT_EQ(search(32, FALSE, FALSE), 0xDEADu);
    listed.erase(listed.begin() + 3); // only the 4444 format has alpha now
    EXPECT_EQ(search(16, TRUE, FALSE), 0xDEADu);
    EXPECT_EQ(AcceptTextureFormat(nullptr, nullptr), D3DENUMRET_OK);
}

TEST(TextureRestore, ImagesAreStretchedOverPowerOfTwoTextures) {
    TextureDevice rig(Hal(D3DPTEXTURECAPS_POW2, {PixelKind::PAL8, PixelKind::RGB888}));
    TextureEntry* entry =
        AddEntry("wide.bmp", 0, TrueColorBitmap(200, 100, {255, 0, 0}, {0, 0, 255}), nullptr);
    ASSERT_EQ(RestoreTexture("WIDE.BMP", rig.Device()), S_OK);
    ASSERT_NE(entry->surface, nullptr);
    EXPECT_EQ(GetTextureSurface("wide.bmp"), entry->surface);
    const DDSURFACEDESC2 desc = DescOf(entry->surface);
    EXPECT_EQ(desc.dwWidth, 256u);
    EXPECT_EQ(desc.dwHeight, 128u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 24u);
    EXPECT_EQ(desc.ddsCaps.dwCaps2 & DDSCAPS2_TEXTUREMANAGE, DDSCAPS2_TEXTUREMANAGE);
    const std::vector<DWORD> texels = gfx_test::ReadRawPixels(entry->surface);
    EXPECT_EQ(texels[0], 0xFF0000u);
    EXPECT_EQ(texels[127], 0xFF0000u);
    EXPECT_EQ(texels[129], 0x0000FFu);
    EXPECT_EQ(texels[256 * 127 + 255], 0x0000FFu);
}

TEST(TextureRestore, SquareOnlyDevicesAndSoftwareDevicesInSystemMemory) {
    drivers::DeviceBuilder software = test_drivers::FakeDevice(IID_IDirect3DRGBDevice, "RGB");
    software.Hardware(false)
        .TextureCaps(D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_SQUAREONLY)
        .MaxTextureSize(0, 0)
        .TextureFormats(Formats({PixelKind::RGB565}));
    TextureDevice rig(software, IID_IDirect3DRGBDevice);
    TextureEntry* entry =
        AddEntry("wide.bmp", 0, TrueColorBitmap(200, 100, {255, 0, 0}, {0, 0, 255}), nullptr);
    TextureEntry* huge =
        AddEntry("huge.bmp", 0, TrueColorBitmap(1000, 4, {0, 0, 0}, {0, 0, 0}), nullptr);
    EXPECT_EQ(RestoreAllTextures(rig.Device()), S_OK);
    const DDSURFACEDESC2 desc = DescOf(entry->surface);
    EXPECT_EQ(desc.dwWidth, 256u);
    EXPECT_EQ(desc.dwHeight, 256u);
    EXPECT_NE(desc.ddsCaps.dwCaps & DDSCAPS_SYSTEMMEMORY, 0u);
    EXPECT_EQ(desc.ddsCaps.dwCaps2 & DDSCAPS2_TEXTUREMANAGE, 0u);
    EXPECT_EQ(DescOf(huge->surface).dwWidth, 256u) << "a maximum of 0 stands for 256";
}

TEST(TextureRestore, DeepImagesFallBackToTheFirstSixteenBitFormatWithoutAlpha) {
    TextureDevice rig(Hal(0, {PixelKind::PAL8, PixelKind::ARGB1555, PixelKind::XRGB1555,
                              PixelKind::RGB565, PixelKind::XRGB8888}));
    TextureEntry* entry =
        AddEntry("deep.bmp", 0, TrueColorBitmap(4, 2, {255, 255, 255}, {0, 255, 0}), nullptr);
    ASSERT_EQ(RestoreTexture("deep.bmp", rig.Device()), S_OK);
    const DDSURFACEDESC2 desc = DescOf(entry->surface);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, 0x7C00u) << "XRGB1555, the first without alpha";
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBAlphaBitMask, 0u);
    EXPECT_EQ(gfx_test::ReadRawPixels(entry->surface)[0], 0x7FFFu);
    EXPECT_EQ(gfx_test::ReadRawPixels(entry->surface)[3], 0x03E0u);

    // TEXFLAG_32BIT asks for 32 bits; TEXFLAG_16BIT wins over it.
    entry->flags = TEXFLAG_32BIT;
    ASSERT_EQ(RestoreTexture("deep.bmp", rig.Device()), S_OK);
    EXPECT_EQ(DescOf(entry->surface).ddpfPixelFormat.dwRGBBitCount, 32u);
    entry->flags = TEXFLAG_32BIT | TEXFLAG_16BIT;
    ASSERT_EQ(RestoreTexture("deep.bmp", rig.Device()), S_OK);
    EXPECT_EQ(DescOf(entry->surface).ddpfPixelFormat.dwRGBBitCount, 16u);
}

TEST(TextureRestore, PaletteImagesWithoutPaletteFormatsGetColoursThroughGdi) {
    TextureDevice rig(Hal(0, {PixelKind::ARGB1555, PixelKind::RGB565}));
    TextureEntry* entry =
        AddEntry("indexed.bmp", 0,
                 IndexedBitmap({{0, 1, 2}}, {{255, 0, 0}, {0, 0, 0}, {0, 255, 0}}), nullptr);
    ASSERT_EQ(RestoreTexture("indexed.bmp", rig.Device()), S_OK);
    EXPECT_EQ(DescOf(entry->surface).ddpfPixelFormat.dwRBitMask, 0xF800u);
    EXPECT_EQ(gfx_test::ReadRawPixels(entry->surface), (std::vector<DWORD>{0xF800, 0, 0x07E0}));
}

TEST(TextureRestore, TransparentBlackWithAlphaPalettesKeysThePalette) {
    TextureDevice rig(Hal(D3DPTEXTURECAPS_ALPHAPALETTE, {PixelKind::ARGB1555, PixelKind::PAL8}));
    TextureEntry* entry =
        AddEntry("keyed.bmp", TEXFLAG_TRANSPARENT_BLACK,
                 IndexedBitmap({{0, 1, 2, 0}}, {{0, 0, 0}, {255, 255, 255}, {10, 0, 0}}), nullptr);
    ASSERT_EQ(RestoreTexture("keyed.bmp", rig.Device()), S_OK);
    EXPECT_EQ(DescOf(entry->surface).ddpfPixelFormat.dwRGBBitCount, 8u);
    EXPECT_EQ(gfx_test::ReadRawPixels(entry->surface), (std::vector<DWORD>{0, 1, 2, 0}));

    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(entry->surface->GetPalette(&palette), DD_OK);
    DWORD caps = 0;
    palette->GetCaps(&caps);
    EXPECT_NE(caps & DDPCAPS_ALPHA, 0u);
    PALETTEENTRY entries[256];
    ASSERT_EQ(palette->GetEntries(0, 0, 256, entries), DD_OK);
    EXPECT_EQ(entries[0].peFlags, 0) << "black: transparent";
    EXPECT_EQ(entries[1].peFlags, 0xFF);
    EXPECT_EQ(entries[2].peFlags, 0xFF);
    EXPECT_EQ(entries[2].peRed, 10);
    EXPECT_EQ(entries[200].peFlags, 0) << "past the colour table: black, so keyed too";
    EXPECT_EQ(gfx_test::RefCount(palette), 2u) << "ours and the texture's; the upload kept none";
    palette->Release();
}

TEST(TextureRestore, TransparentBlackWithoutAlphaPalettesKeysAlphaBits) {
    TextureDevice rig(
        Hal(0, {PixelKind::PAL8, PixelKind::ARGB4444, PixelKind::RGB565, PixelKind::ARGB1555}));
    TextureEntry* entry =
        AddEntry("keyed.bmp", TEXFLAG_TRANSPARENT_BLACK,
                 IndexedBitmap({{0, 1, 2, 0}}, {{0, 0, 0}, {255, 255, 255}, {8, 0, 0}}), nullptr);
    ASSERT_EQ(RestoreTexture("keyed.bmp", rig.Device()), S_OK);
    EXPECT_EQ(DescOf(entry->surface).ddpfPixelFormat.dwRGBAlphaBitMask, 0x8000u);
    EXPECT_EQ(gfx_test::ReadRawPixels(entry->surface),
              (std::vector<DWORD>{0x0000, 0xFFFF, 0x8400, 0x0000}));

    // White as the key: every pixel but white gets its alpha bit.
    entry->flags = TEXFLAG_TRANSPARENT_WHITE;
    ASSERT_EQ(RestoreTexture("keyed.bmp", rig.Device()), S_OK);
    EXPECT_EQ(gfx_test::ReadRawPixels(entry->surface),
              (std::vector<DWORD>{0x8000, 0x7FFF, 0x8400, 0x8000}));

    // Deep images never ask for alpha, so the flags do nothing to them.
    TextureEntry* deep = AddEntry("deep.bmp", TEXFLAG_TRANSPARENT_BLACK,
                                  TrueColorBitmap(2, 1, {0, 0, 0}, {0, 0, 0}), nullptr);
    ASSERT_EQ(RestoreTexture("deep.bmp", rig.Device()), S_OK);
    EXPECT_EQ(DescOf(deep->surface).ddpfPixelFormat.dwRGBAlphaBitMask, 0u);
}

TEST(TextureRestore, TheFourFourFourFourFormatIsNeverChosen) {
    TextureDevice rig(Hal(0, {PixelKind::ARGB4444, PixelKind::RGB565}));
    TextureEntry* entry = AddEntry("keyed.bmp", TEXFLAG_TRANSPARENT_WHITE,
                                   IndexedBitmap({{0}}, {{255, 255, 255}}), nullptr);
    EXPECT_EQ(RestoreTexture("keyed.bmp", rig.Device()), E_FAIL);
    EXPECT_EQ(entry->surface, nullptr);
    EXPECT_EQ(RestoreAllTextures(rig.Device()), S_OK) << "failures are passed over";
}

TEST(TextureRestore, TgaPixelsLoseTheirAlphaAndFollowTheMasks) {
    TextureDevice rig(Hal(0, {PixelKind::ARGB8888, PixelKind::XRGB8888, PixelKind::RGB565}));
    auto* pixels = new DWORD[2]{0x11223344, 0xFF8000FF};
    TextureEntry* entry = AddEntry("alpha.tga", 0, nullptr, pixels, 2, 1, 32);
    ASSERT_EQ(RestoreTexture("alpha.tga", rig.Device()), S_OK);
    EXPECT_EQ(DescOf(entry->surface).ddpfPixelFormat.dwRGBAlphaBitMask, 0u);
    EXPECT_EQ(gfx_test::ReadRawPixels(entry->surface), (std::vector<DWORD>{0x112233, 0xFF8000}));

    entry->flags = TEXFLAG_16BIT; // RGB565: each byte cut to its channel's width
    ASSERT_EQ(RestoreTexture("alpha.tga", rig.Device()), S_OK);
    EXPECT_EQ(gfx_test::ReadRawPixels(entry->surface), (std::vector<DWORD>{0x1106, 0xFC00}));
}

TEST(TextureRestore, TgaPixelsIntoTwentyFourBitTexturesKeepAllThreeBytes) {
    TextureDevice rig(Hal(0, {PixelKind::RGB888}));
    auto* pixels = new DWORD[2]{0x112233FF, 0xA0B0C0FF};
    TextureEntry* entry = AddEntry("rgb.tga", 0, nullptr, pixels, 2, 1, 24);
    ASSERT_EQ(RestoreTexture("rgb.tga", rig.Device()), S_OK);
    EXPECT_EQ(gfx_test::ReadRawPixels(entry->surface), (std::vector<DWORD>{0x112233, 0xA0B0C0}));
}

TEST(TextureRestore, SurfacesAreReleasedBeforeRebuildingAndOnInvalidation) {
    TextureDevice rig(Hal(0, {PixelKind::RGB565}));
    EXPECT_EQ(RestoreAllTextures(rig.Device()), S_OK) << "empty store";
    EXPECT_EQ(RestoreTexture("absent.bmp", rig.Device()), DDERR_NOTFOUND);

    TextureEntry* entry = AddEntry("a.bmp", 0, IndexedBitmap({{0}}, {{1, 2, 3}}), nullptr);
    ASSERT_EQ(RestoreTexture("a.bmp", rig.Device()), S_OK);
    IDirectDrawSurface7* first = entry->surface;
    first->AddRef(); // watch it
    ASSERT_EQ(RestoreTexture("a.bmp", rig.Device()), S_OK);
    EXPECT_NE(entry->surface, first);
    EXPECT_EQ(first->Release(), 0u) << "the rebuild released the old surface";
    EXPECT_EQ(gfx_test::RefCount(entry->surface), 1u);

    EXPECT_EQ(RestoreTexture("a.bmp", nullptr), E_INVALIDARG);
    EXPECT_EQ(entry->surface, nullptr);
    ASSERT_EQ(RestoreTexture("a.bmp", rig.Device()), S_OK);
    EXPECT_EQ(InvalidateAllTextures(), S_OK);
    EXPECT_EQ(entry->surface, nullptr);
    EXPECT_NE(entry->bitmap, nullptr) << "the image stays";
}

TEST(TextureRestore, FailuresLeaveNoSurface) {
    host::DriverFailures failures;
    failures.createSurface = DDERR_OUTOFVIDEOMEMORY;
    failures.createSurfaceCaps = DDSCAPS_TEXTURE;
    TextureDevice failing(Hal(0, {PixelKind::RGB565}), IID_IDirect3DHALDevice, failures);
    TextureEntry* entry = AddEntry("a.bmp", 0, IndexedBitmap({{0}}, {{1, 2, 3}}), nullptr);
    EXPECT_EQ(RestoreTexture("a.bmp", failing.Device()), DDERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(entry->surface, nullptr);
}
