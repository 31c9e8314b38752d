// Kernel subset: the formatter with the program's formats and its output limit, the string
// helpers, the clock and its wrap, debugger output, and file opening with the program's paths.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "platform/host/host.h"
#include "platform/win32/kernel.h"

namespace {

std::string Format(const char* format, auto... args) {
    char buffer[1100];
    int length = wsprintfA(buffer, format, args...);
    EXPECT_EQ(length, static_cast<int>(std::strlen(buffer)));
    return buffer;
}

TEST(WsprintfTest, TheProgramsTraceAndModeFormats) {
    EXPECT_EQ(Format("%s(%ld): ", "d3dframe", 412), "d3dframe(412): ");
    HRESULT code = static_cast<HRESULT>(0x88760245u);
    EXPECT_EQ(Format("(hr=%08lx)\n", code), "(hr=88760245)\n");
    EXPECT_EQ(Format("(hr=%08lx)\n", 0x1C2), "(hr=000001c2)\n");
    DWORD width = 640, height = 480, depth = 16;
    EXPECT_EQ(Format("%ld x %ld x %ld", width, height, depth), "640 x 480 x 16");
}

TEST(WsprintfTest, FlagsWidthsAndConversions) {
    EXPECT_EQ(Format("%ld|%d|%i", -2147483647 - 1, -5, 0), "-2147483648|-5|0");
    EXPECT_EQ(Format("%u %lu", 0xFFFFFFFFu, 7u), "4294967295 7");
    EXPECT_EQ(Format("%X %x %#x", 0xBEEFu, 0xBEEFu, 255u), "BEEF beef 0xff");
    EXPECT_EQ(Format("[%5d][%-5d][%05d][%05d]", 42, 42, 42, -42), "[   42][42   ][00042][-0042]");
    EXPECT_EQ(Format("[%6s][%-6s][%.2s]", "ab", "ab", "abcdef"), "[    ab][ab    ][ab]");
    EXPECT_EQ(Format("%c%c %% %s", 'o', 'k', static_cast<const char*>(nullptr)), "ok % (null)");
    EXPECT_EQ(Format("%.3d", 7), "007");
    EXPECT_EQ(Format("trailing %"), "trailing ");
}

TEST(WsprintfTest, OutputStopsAt1024CharactersWhateverTheInput) {
    std::string longText(5000, 'x');
    char buffer[1100];
    std::memset(buffer, '#', sizeof(buffer));
    EXPECT_EQ(wsprintfA(buffer, "%s%s", longText.c_str(), "tail"), 1024);
    EXPECT_EQ(buffer[1024], '\0');
    EXPECT_EQ(buffer[1025], '#'); // nothing written past the limit and its terminator
    std::memset(buffer, '#', sizeof(buffer));
    EXPECT_EQ(wsprintfA(buffer, "%099999999d", 5), 1024); // a huge width is bounded too
    EXPECT_EQ(buffer[1025], '#');
    EXPECT_EQ(wsprintfA(buffer, nullptr), 0);
}

TEST(StringHelperTest, CopyCompareAndLength) {
    char buffer[8];
    std::memset(buffer, '#', sizeof(buffer));
    EXPECT_EQ(lstrcpynA(buffer, "abcdefghij", 5), buffer);
    EXPECT_STREQ(buffer, "abcd"); // at most maxLength - 1 characters and the terminator
    EXPECT_EQ(buffer[5], '#');
    lstrcpynA(buffer, "xyz", 0);
    EXPECT_STREQ(buffer, "abcd"); // zero length writes nothing
    lstrcpynA(buffer, nullptr, 8);
    EXPECT_STREQ(buffer, "");

    EXPECT_EQ(lstrcmpiA("Title.BMP", "title.bmp"), 0);
    EXPECT_LT(lstrcmpiA("abc", "ABD"), 0);
    EXPECT_GT(lstrcmpiA("abcd", "ABC"), 0);
    EXPECT_LT(lstrcmpiA(nullptr, "a"), 0);
    EXPECT_EQ(lstrcmpiA(nullptr, nullptr), 0);
    EXPECT_EQ(lstrlenA("four"), 4);
    EXPECT_EQ(lstrlenA(nullptr), 0);
}

TEST(ClockTest, AManualClockDrivesTimeGetTimeAcrossTheWrap) {
    host::ManualClock clock(0xFFFFFFF0u);
    host::SetClock(&clock);
    DWORD before = timeGetTime();
    EXPECT_EQ(before, 0xFFFFFFF0u);
    clock.Advance(0x30);
    DWORD after = timeGetTime();
    EXPECT_EQ(after, 0x20u);
    EXPECT_EQ(static_cast<DWORD>(after - before), 0x30u); // the program's unsigned difference
    host::SetClock(nullptr);
    DWORD a = timeGetTime();
    DWORD b = timeGetTime();
    EXPECT_LE(static_cast<DWORD>(b - a), 1000u); // the monotonic clock is back, moving forward
}

TEST(DebugOutputTest, GoesToTheInstalledSinkAndNullIsIgnored) {
    std::string seen;
    host::SetDebugOutputSink([&](const char* text) { seen += text; });
    OutputDebugStringA("d3dframe(1): ");
    OutputDebugStringA(nullptr);
    OutputDebugStringA("failed\n");
    host::SetDebugOutputSink(nullptr);
    EXPECT_EQ(seen, "d3dframe(1): failed\n");
}

class PlatformFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::filesystem::temp_directory_path() /
                ("lumenfall-files-" + std::to_string(::getpid()));
        std::filesystem::create_directories(root_ / "Marlow" / "Media");
        std::FILE* file = std::fopen((root_ / "Marlow" / "Media" / "Title.BMP").c_str(), "wb");
        std::fputs("BM", file);
        std::fclose(file);
    }
    void TearDown() override { std::filesystem::remove_all(root_); }
    std::string Windowsy(const std::string& tail) { return root_.string() + tail; }
    std::filesystem::path root_;
};

TEST_F(PlatformFileTest, BackslashesAndCaseOfTheProgramsPathsAreMapped) {
    std::FILE* exact = PlatformOpenFile(Windowsy("\\Marlow\\Media\\Title.BMP").c_str(), "rb");
    ASSERT_NE(exact, nullptr);
    std::fclose(exact);
    // The program names files regardless of case, as its platform allows.
    std::FILE* anyCase = PlatformOpenFile(Windowsy("\\marlow\\MEDIA\\title.bmp").c_str(), "rb");
    ASSERT_NE(anyCase, nullptr);
    char magic[3] = {};
    EXPECT_EQ(std::fread(magic, 1, 2, anyCase), 2u);
    EXPECT_STREQ(magic, "BM");
    std::fclose(anyCase);

    EXPECT_EQ(PlatformOpenFile(Windowsy("\\Marlow\\Media\\missing.bmp").c_str(), "rb"), nullptr);
    EXPECT_EQ(PlatformOpenFile(nullptr, "rb"), nullptr);
    EXPECT_EQ(PlatformOpenFile("", "rb"), nullptr);
    // Writing never goes through the case-insensitive search: it makes the file as named.
    std::FILE* created = PlatformOpenFile(Windowsy("\\Marlow\\Media\\new.txt").c_str(), "wb");
    ASSERT_NE(created, nullptr);
    std::fclose(created);
    EXPECT_TRUE(std::filesystem::exists(root_ / "Marlow" / "Media" / "new.txt"));
}

} // namespace
