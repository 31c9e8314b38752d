// The texture store over real files: a scratch working directory, a scratch media folder and a
// registry file naming it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/image_files.h"
#include "support/media_folder_test.h"
#include "texture/texture_store.h"

using namespace test_images;
namespace fs = std::filesystem;

namespace {

Bytes SmallBmp(int width, int height) {
    BmpLayout layout;
    layout.width = width;
    layout.height = height;
    layout.bitCount = 8;
    layout.colors = {{0, 0, 0}, {255, 255, 255}};
    layout.pixels = PadRows(std::vector<Bytes>(height, Bytes(width, 1)));
    return BuildBmp(layout);
}

Bytes SmallTga(uint16_t width, uint16_t height) {
    TgaLayout layout;
    layout.width = width;
    layout.height = height;
    layout.body = Bytes(size_t{width} * height * 3, 0x40);
    return BuildTga(layout);
}

std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (TextureEntry* entry = textureStore.head; entry != nullptr; entry = entry->next) {
        names.push_back(entry->name);
    }
    return names;
}

using TextureStoreTest = test_files::MediaFolderTest;

} // namespace

TEST_F(TextureStoreTest, NamesMatchRegardlessOfCaseAndKeepTheirFirstSpelling) {
    InWork("title.bmp", SmallBmp(3, 2));
    ASSERT_EQ(AddTexture("title.bmp", 0, 0), S_OK);
    EXPECT_EQ(AddTexture("TITLE.BMP", 1, TEXFLAG_16BIT), S_OK);
    EXPECT_EQ(Names(), std::vector<std::string>{"title.bmp"});
    TextureEntry* entry = FindTexture("Title.Bmp");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry, FindTexture("TITLE.BMP"));
    EXPECT_EQ(entry->stage, 0u) << "the second call changes nothing";
    EXPECT_EQ(entry->flags, 0u);
    EXPECT_EQ(FindTexture("title.bm"), nullptr);
    EXPECT_EQ(FindTexture(nullptr), nullptr);
}

TEST_F(TextureStoreTest, BmpEntriesTakeSizeAndDepthFromTheBitmap) {
    InWork("pic.bmp", SmallBmp(5, 3));
    ASSERT_EQ(AddTexture("pic.bmp", 2, TEXFLAG_TRANSPARENT_BLACK), S_OK);
    TextureEntry* entry = FindTexture("pic.bmp");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->width, 5u);
    EXPECT_EQ(entry->height, 3u);
    EXPECT_EQ(entry->bitsPerPixel, 8u);
    EXPECT_EQ(entry->stage, 2u);
    EXPECT_EQ(entry->flags, TEXFLAG_TRANSPARENT_BLACK);
    EXPECT_NE(entry->bitmap, nullptr);
    EXPECT_EQ(entry->pixels, nullptr);
    EXPECT_EQ(entry->surface, nullptr);
    EXPECT_EQ(GetTextureSurface("pic.bmp"), nullptr);
}

TEST_F(TextureStoreTest, TheLastDotChoosesTheLoader) {
    InWork("a.b.tga", SmallTga(4, 2));
    ASSERT_EQ(AddTexture("a.b.tga", 0, 0), S_OK);
    TextureEntry* tga = FindTexture("a.b.tga");
    ASSERT_NE(tga, nullptr);
    EXPECT_NE(tga->pixels, nullptr);
    EXPECT_EQ(tga->bitmap, nullptr);
    EXPECT_EQ(tga->width, 4u);
    EXPECT_EQ(tga->bitsPerPixel, 24u);

    InWork("Upper.TGA", SmallTga(1, 1));
    EXPECT_EQ(AddTexture("Upper.TGA", 0, 0), S_OK);
    InWork("picture.png", SmallBmp(1, 1));
    InWork("bmp", SmallBmp(1, 1));
    InWork("c.bmp.tga", SmallBmp(1, 1)); // a BMP named as a TGA is read as a TGA, and fails
    EXPECT_EQ(AddTexture("picture.png", 0, 0), E_FAIL);
    EXPECT_EQ(AddTexture("bmp", 0, 0), E_FAIL);
    EXPECT_EQ(AddTexture("c.bmp.tga", 0, 0), E_FAIL);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Upper.TGA", "a.b.tga"}));
}

TEST_F(TextureStoreTest, TheWorkingDirectoryWinsOverTheMediaFolder) {
    InWork("both.bmp", SmallBmp(2, 2));
    InMedia("both.bmp", SmallBmp(7, 7));
    InMedia("media_only.bmp", SmallBmp(6, 1));
    fs::create_directories(work_ / "sub");
    InWork("sub/nested.bmp", SmallBmp(1, 4));
    EXPECT_EQ(std::string(GetMediaPath()), (root_ / "samples").string() + "\\Marlow\\Media\\");

    ASSERT_EQ(AddTexture("both.bmp", 0, 0), S_OK);
    EXPECT_EQ(FindTexture("both.bmp")->width, 2u);
    ASSERT_EQ(AddTexture("media_only.bmp", 0, 0), S_OK);
    EXPECT_EQ(FindTexture("media_only.bmp")->width, 6u);
    ASSERT_EQ(AddTexture("sub\\nested.bmp", 0, 0), S_OK) << "backslash paths";
    EXPECT_EQ(FindTexture("SUB\\NESTED.BMP")->height, 4u);
    EXPECT_EQ(Names(), (std::vector<std::string>{"sub\\nested.bmp", "media_only.bmp", "both.bmp"}));
}

TEST_F(TextureStoreTest, AnUnreadableRegistryValueLeavesOnlyTheWorkingDirectory) {
    InMedia("media_only.bmp", SmallBmp(1, 1));
    SetSamplesPath(std::string(600, 'x')); // longer than the 512-byte buffer: the query fails
    EXPECT_STREQ(GetMediaPath(), "");
    EXPECT_EQ(AddTexture("media_only.bmp", 0, 0), E_FAIL);

    // A value that fills the buffer exactly: the folder text stays terminated and whole, and
    // the search path it would make is too long to try.
    const std::string longest(511, 'y');
    SetSamplesPath(longest);
    EXPECT_EQ(std::string(GetMediaPath()), longest + "\\Marlow\\Media\\");
    EXPECT_EQ(AddTexture("media_only.bmp", 0, 0), E_FAIL);
    EXPECT_TRUE(Names().empty());
}

TEST_F(TextureStoreTest, FailedAddsLeaveTheListAsItWas) {
    InWork("keep.bmp", SmallBmp(1, 1));
    ASSERT_EQ(AddTexture("keep.bmp", 0, 0), S_OK);
    Bytes broken = SmallBmp(4, 4);
    broken.resize(40);
    InWork("broken.bmp", broken);
    TgaLayout mapped;
    mapped.colorMapType = 1;
    InWork("mapped.tga", BuildTga(mapped));

    EXPECT_EQ(AddTexture("missing.bmp", 0, 0), E_FAIL);
    EXPECT_EQ(AddTexture("broken.bmp", 0, 0), E_FAIL);
    EXPECT_EQ(AddTexture("mapped.tga", 0, 0), E_FAIL);
    EXPECT_EQ(AddTexture(nullptr, 0, 0), E_INVALIDARG);
    EXPECT_EQ(Names(), std::vector<std::string>{"keep.bmp"});

    // A TGA cut short still loads.
    Bytes shortTga = SmallTga(8, 8);
    shortTga.resize(30);
    InWork("short.tga", shortTga);
    EXPECT_EQ(AddTexture("short.tga", 0, 0), S_OK);
}

TEST_F(TextureStoreTest, NamesLongerThanTheFieldAreRefused) {
    const std::string longest = std::string(75, 'n') + ".bmp"; // 79 characters: fits
    InWork(longest, SmallBmp(1, 1));
    ASSERT_EQ(AddTexture(longest.c_str(), 0, 0), S_OK);
    EXPECT_EQ(std::string(FindTexture(longest.c_str())->name), longest);
    const std::string tooLong = std::string(76, 'n') + ".bmp";
    InWork(tooLong, SmallBmp(1, 1));
    EXPECT_EQ(AddTexture(tooLong.c_str(), 0, 0), E_INVALIDARG);
    EXPECT_EQ(FindTexture(tooLong.c_str()), nullptr);
    EXPECT_EQ(Names().size(), 1u);
}

TEST_F(TextureStoreTest, RemovingRelinksTheList) {
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) {
        InWork(name, SmallBmp(1, 1));
        ASSERT_EQ(AddTexture(name, 0, 0), S_OK);
    }
    EXPECT_EQ(Names(), (std::vector<std::string>{"c.bmp", "b.bmp", "a.bmp"}));
    EXPECT_EQ(RemoveTexture("B.BMP"), S_OK);
    EXPECT_EQ(Names(), (std::vector<std::string>{"c.bmp", "a.bmp"}));
    EXPECT_EQ(RemoveTexture("c.bmp"), S_OK);
    EXPECT_EQ(RemoveTexture("nothing.bmp"), S_OK);
    EXPECT_EQ(RemoveTexture(nullptr), S_OK);
    EXPECT_EQ(Names(), std::vector<std::string>{"a.bmp"});
    EXPECT_EQ(GetTextureSurface("c.bmp"), nullptr);
}

TEST_F(TextureStoreTest, TheShowsTexturesLoadFromTheMediaFolder) {
    const fs::path media = LUMENFALL_MEDIA_DIR;
    SetSamplesPath(media.parent_path().parent_path().string());
    for (const char* name : {"title.bmp", "file.bmp", "misc.bmp", "the_end.bmp", "nosound.bmp"}) {
        ASSERT_EQ(AddTexture(name, 0, 0), S_OK) << name;
        const TextureEntry* entry = FindTexture(name);
        EXPECT_NE(entry->bitmap, nullptr) << name;
        EXPECT_GT(entry->width * entry->height, 0u) << name;
    }
}
