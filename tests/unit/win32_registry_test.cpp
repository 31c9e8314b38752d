// The registry over its file: the built-in media default, the file overriding it, names that
// ignore case, buffers that are too small, and files that are not what they should be.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "platform/win32/registry.h"

namespace {

const char* const KEY = "Software\\Quorvane\\DirectX";
const char* const VALUE = "Kestrel Samples Path";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("lumenfall-registry-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        file_ = dir_ / "registry.ini";
        setenv("LUMENFALL_REGISTRY", file_.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("LUMENFALL_REGISTRY");
        std::filesystem::remove_all(dir_);
    }
    void Write(const std::string& text) { std::ofstream(file_, std::ios::binary) << text; }

    // The value as the program reads it, or the error code as text.
    std::string Query(const char* key = KEY, const char* value = VALUE) {
        HKEY opened = nullptr;
        LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened);
        if (result != ERROR_SUCCESS) {
            return "open error " + std::to_string(result);
        }
        char buffer[512];
        DWORD size = sizeof(buffer);
        DWORD type = REG_NONE;
        result = RegQueryValueExA(opened, value, nullptr, &type, reinterpret_cast<LPBYTE>(buffer),
                                  &size);
        EXPECT_EQ(RegCloseKey(opened), ERROR_SUCCESS);
        if (result != ERROR_SUCCESS) {
            return "query error " + std::to_string(result);
        }
        EXPECT_EQ(type, REG_SZ);
        EXPECT_EQ(size, std::strlen(buffer) + 1); // the size counts the terminator
        return buffer;
    }

    std::filesystem::path dir_;
    std::filesystem::path file_;
};

TEST_F(RegistryTest, WithoutAFileTheValueLeadsToTheBuildsMedia) {
    // The test program lives in <build>/tests, the demo in <build>/bin: both find <build>/share.
    std::string media = LUMENFALL_MEDIA_DIR;
    std::string expected = media.substr(0, media.size() - std::string("/Marlow/Media").size());
    std::string value = Query();
    EXPECT_EQ(std::filesystem::weakly_canonical(value),
              std::filesystem::weakly_canonical(expected));
    EXPECT_EQ(Query(KEY, "Other Value"), "query error " + std::to_string(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Query("Software\\Nobody"), "open error " + std::to_string(ERROR_FILE_NOT_FOUND));
}

TEST_F(RegistryTest, TheFileOverridesAndNamesIgnoreCase) {
    Write("; media for tests\n"
          "[hkey_local_machine\\SOFTWARE\\quorvane\\directx]\n"
          "  kestrel SAMPLES path =  /srv/Media Folder  \r\n"
          "Quoted=\"  spaced  \"\n");
    EXPECT_EQ(Query(), "/srv/Media Folder");
    EXPECT_EQ(Query("software\\QUORVANE\\DirectX\\", "quoted"), "  spaced  ");
    EXPECT_EQ(Query("Software"), "query error " + std::to_string(ERROR_FILE_NOT_FOUND));

    // A key opened below an open key, and the key's path with forward slashes.
    HKEY software = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &software), ERROR_SUCCESS);
    HKEY directX = nullptr;
    ASSERT_EQ(RegOpenKeyExA(software, "Quorvane/DirectX", 0, KEY_READ, &directX), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(directX, VALUE, nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, std::strlen("/srv/Media Folder") + 1);
    RegCloseKey(directX);
    RegCloseKey(software);
}

TEST_F(RegistryTest, ATooSmallBufferGetsTheSizeAndNothingElse) {
    Write("[HKEY_LOCAL_MACHINE\\Software\\Quorvane\\DirectX]\nKestrel Samples Path=/abcdef\n");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, KEY, 0, KEY_READ, &key), ERROR_SUCCESS);
    char buffer[16];
    std::memset(buffer, '#', sizeof(buffer));
    DWORD size = 7; // one short: the terminator does not fit
    EXPECT_EQ(
        RegQueryValueExA(key, VALUE, nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), &size),
        ERROR_MORE_DATA);
    EXPECT_EQ(size, 8u);
    for (char c : buffer) {
        EXPECT_EQ(c, '#');
    }
    EXPECT_EQ(
        RegQueryValueExA(key, VALUE, nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), &size),
        ERROR_SUCCESS);
    EXPECT_STREQ(buffer, "/abcdef");
    EXPECT_EQ(buffer[8], '#');
    EXPECT_EQ(
        RegQueryValueExA(key, VALUE, nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), nullptr),
        ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    // A closed key is no key.
    EXPECT_EQ(RegQueryValueExA(key, VALUE, nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, KEY, 0, KEY_READ, nullptr),
              ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, MalformedFilesAreReadAsFarAsTheyMakeSense) {
    std::string garbage = "Kestrel Samples Path=/outside/any/key\n"
                          "[HKEY_LOCAL_MACHINE\\Software\\Quorvane\\DirectX\n" // unterminated
                          "Kestrel Samples Path=/after/a/broken/section\n"
                          "no equals sign here\n"
                          "[]\n=nameless\n";
    garbage += std::string(100000, 'z') + "\n";
    garbage += std::string("\0\xff\x01[", 4) + "\n";
    Write(garbage);
    std::string media = LUMENFALL_MEDIA_DIR;
    std::string fallback = Query();
    EXPECT_EQ(fallback.find("/outside"), std::string::npos);
    EXPECT_EQ(fallback.find("/after"), std::string::npos);

    Write(garbage + "[HKEY_LOCAL_MACHINE\\Software\\Quorvane\\DirectX]\n"
                    "Kestrel Samples Path=/good\n");
    EXPECT_EQ(Query(), "/good");

    // A file far too large to be a registry is ignored as a whole.
    Write("[HKEY_LOCAL_MACHINE\\Software\\Quorvane\\DirectX]\nKestrel Samples Path=/big\n" +
          std::string(2 << 20, ';'));
    EXPECT_EQ(Query(), fallback);
    // A folder where the file should be is no file.
    std::filesystem::remove(file_);
    std::filesystem::create_directories(file_);
    EXPECT_EQ(Query(), fallback);
}

TEST_F(RegistryTest, TheFileFollowsXdgWhenNotNamedExplicitly) {
    unsetenv("LUMENFALL_REGISTRY");
    const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
    std::string saved = oldConfig != nullptr ? oldConfig : "";
    setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
    std::filesystem::create_directories(dir_ / "lumenfall");
    std::ofstream(dir_ / "lumenfall" / "registry.ini")
        << "[HKEY_LOCAL_MACHINE\\Software\\Quorvane\\DirectX]\nKestrel Samples Path=/xdg\n";
    EXPECT_EQ(Query(), "/xdg");
    if (oldConfig != nullptr) {
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
}

} // namespace
