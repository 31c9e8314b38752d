// Little-endian appends to a byte vector, shared by the file writers.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace mkmedia {

inline void PutU8(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v & 0xFF));
}
inline void PutU16(std::vector<uint8_t>& out, uint32_t v) {
    PutU8(out, v);
    PutU8(out, v >> 8);
}
inline void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}
inline void PutF32(std::vector<uint8_t>& out, float f) {
    uint32_t bits = 0;
    std::memcpy(&bits, &f, sizeof bits);
    PutU32(out, bits);
}
inline void PutText(std::vector<uint8_t>& out, std::string_view s) {
    for (char c : s) {
        out.push_back(static_cast<uint8_t>(c));
    }
}

} // namespace mkmedia
