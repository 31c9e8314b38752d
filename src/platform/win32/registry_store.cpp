#include "platform/win32/registry_store.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <unistd.h>

#include "platform/win32/kernel.h"

#ifndef LUMENFALL_MEDIA_SUBDIR
#define LUMENFALL_MEDIA_SUBDIR "share/lumenfall/Marlow/Media"
#endif

namespace {

// A registry file is a few lines; anything this large is not one.
constexpr long MAX_REGISTRY_FILE_SIZE = 1 << 20;
constexpr size_t MAX_EXE_PATH = 4096;

std::string Lower(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return result;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

std::string Parent(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The folder above Marlow/Media, found from the running program: <prefix>/bin/program gives
// <prefix>/share/lumenfall (or whatever the build named its data folder).
std::string DefaultSamplesPath() {
    std::string dataFolder = LUMENFALL_MEDIA_SUBDIR;
    const std::string mediaTail = "/Marlow/Media";
    if (dataFolder.size() >= mediaTail.size() &&
        dataFolder.compare(dataFolder.size() - mediaTail.size(), mediaTail.size(), mediaTail) ==
            0) {
        dataFolder.resize(dataFolder.size() - mediaTail.size());
    }
    if (!dataFolder.empty() && dataFolder[0] == '/') {
        return dataFolder; // an absolute data folder does not depend on where the program is
    }
    std::vector<char> exe(MAX_EXE_PATH + 1, '\0');
    ssize_t length = readlink("/proc/self/exe", exe.data(), MAX_EXE_PATH);
    if (length <= 0) {
        return dataFolder;
    }
    std::string program(exe.data(), static_cast<size_t>(length));
    std::string prefix = Parent(Parent(program));
    return prefix == "/" ? "/" + dataFolder : prefix + "/" + dataFolder;
}

bool ReadWholeFile(const std::string& path, std::string* text) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    long size = ok ? std::ftell(file) : -1;
    if (size < 0 || size > MAX_REGISTRY_FILE_SIZE || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        OutputDebugStringA("registry: file unreadable or too large; ignored\n");
        return false;
    }
    text->resize(static_cast<size_t>(size));
    size_t read = size > 0 ? std::fread(text->data(), 1, text->size(), file) : 0;
    text->resize(read);
    std::fclose(file);
    return true;
}

} // namespace

std::string CanonicalKeyPath(std::string_view path) {
    std::string result;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of("\\/", start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        std::string_view part = Trim(path.substr(start, end - start));
        if (!part.empty()) {
            if (!result.empty()) {
                result += '\\';
            }
            result += Lower(part);
        }
        start = end + 1;
    }
    return result;
}

std::string CanonicalValueName(std::string_view name) {
    return Lower(Trim(name));
}

RegistryContents ParseRegistryText(std::string_view text) {
    RegistryContents contents;
    RegistryKeyValues* section = nullptr;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = Trim(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == ';' || line[0] == '#') {
            continue;
        }
        if (line[0] == '[') {
            section = nullptr;
            if (line.back() == ']') {
                std::string key = CanonicalKeyPath(line.substr(1, line.size() - 2));
                if (!key.empty()) {
                    section = &contents[key];
                }
            }
            continue;
        }
        size_t equals = line.find('=');
        if (section == nullptr || equals == std::string_view::npos) {
            continue; // a value outside any key, or a line that is no value at all
        }
        std::string_view name = line.substr(0, equals);
        std::string_view value = Trim(line.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        (*section)[CanonicalValueName(name)] = std::string(value);
    }
    return contents;
}

std::string RegistryFilePath() {
    const char* explicitPath = std::getenv("LUMENFALL_REGISTRY");
    if (explicitPath != nullptr && explicitPath[0] != '\0') {
        return explicitPath;
    }
    // XDG: a relative XDG_CONFIG_HOME is invalid and is to be ignored.
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/') {
        return std::string(configHome) + "/lumenfall/registry.ini";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        return std::string(home) + "/.config/lumenfall/registry.ini";
    }
    return {};
}

RegistryContents LoadRegistry() {
    RegistryContents contents;
    contents[CanonicalKeyPath("HKEY_LOCAL_MACHINE\\Software\\Quorvane\\DirectX")]
            ["kestrel samples path"] = DefaultSamplesPath();
    std::string path = RegistryFilePath();
    std::string text;
    if (!path.empty() && ReadWholeFile(path, &text)) {
        for (auto& [key, values] : ParseRegistryText(text)) {
            for (auto& [name, value] : values) {
                contents[key][name] = value;
            }
        }
    }
    return contents;
}
