// Tokens of the binary encoding: 16-bit little-endian codes, some with a payload. Integer and
// float lists are handed out one value at a time (see token.h). 64-bit floats are read as
// doubles and narrowed only where a FLOAT member takes them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/xfile/token.h"

namespace xfile {

class BinaryTokenizer : public Tokenizer {
public:
    // data must outlive the tokenizer and the tokens' text. floatBytes is 4 or 8.
    BinaryTokenizer(const uint8_t* data, size_t size, unsigned floatBytes)
        : data_(data), size_(size), floatBytes_(floatBytes) {}

    HRESULT Next(Token& token) override;
    // Values still pending in the current list, plus the smallest value (4 bytes) per byte left.
    uint64_t ValueCapacity() const override { return listLeft_ + (size_ - pos_) / 4; }

private:
    enum class ListKind { None, Integers, Floats };

    bool Read16(uint16_t& value);
    bool Read32(uint32_t& value);
    bool HasBytes(uint64_t count) const { return count <= size_ - pos_; }
    HRESULT ReadToken(uint16_t code, Token& token);
    HRESULT StartList(uint16_t code);
    HRESULT NextListValue(Token& token);
    HRESULT ReadCountedText(Token& token, TokenKind kind);
    void SkipStringTerminator();

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    unsigned floatBytes_;
    ListKind listKind_ = ListKind::None;
    uint32_t listLeft_ = 0;
};

} // namespace xfile
