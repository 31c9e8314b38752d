// GUIDs written as text, "3D82AB43-62DA-11CF-AB39-0020AF71E433" (8-4-4-4-12 hex digits), the
// form .X files use between angle brackets. Usable at compile time, so the template ids and the
// standard template block are written from the same readable text.
#pragma once

#include <string_view>

#include "platform/win32/types.h"

namespace xfile {

constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// False unless text is exactly 36 characters of the 8-4-4-4-12 form.
constexpr bool ParseGuidText(std::string_view text, GUID& guid) {
    if (text.size() != 36) {
        return false;
    }
    BYTE bytes[16] = {};
    size_t byteIndex = 0;
    for (size_t i = 0; i < text.size();) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (text[i] != '-') {
                return false;
            }
            ++i;
            continue;
        }
        int high = HexDigitValue(text[i]);
        int low = i + 1 < text.size() ? HexDigitValue(text[i + 1]) : -1;
        if (high < 0 || low < 0 || byteIndex >= 16) {
            return false;
        }
        bytes[byteIndex++] = static_cast<BYTE>(high * 16 + low);
        i += 2;
    }
    // The first three groups are numbers written most significant digit first.
    guid.Data1 = (DWORD{bytes[0]} << 24) | (DWORD{bytes[1]} << 16) | (DWORD{bytes[2]} << 8) |
                 DWORD{bytes[3]};
    guid.Data2 = static_cast<WORD>((bytes[4] << 8) | bytes[5]);
    guid.Data3 = static_cast<WORD>((bytes[6] << 8) | bytes[7]);
    for (int i = 0; i < 8; ++i) {
        guid.Data4[i] = bytes[8 + i];
    }
    return true;
}

// For constants written in the source: a malformed one stops the build.
consteval GUID GuidFromText(std::string_view text) {
    GUID guid{};
    if (!ParseGuidText(text, guid)) {
        throw "malformed GUID text";
    }
    return guid;
}

} // namespace xfile
