// Tokens of the text encoding: names, numbers, quoted strings, <GUID>s and punctuation, with
// "//" and "#" comments skipped. Keywords come out as Name tokens.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/xfile/token.h"

namespace xfile {

class TextTokenizer : public Tokenizer {
public:
    // data must outlive the tokenizer and the tokens' text.
    TextTokenizer(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    HRESULT Next(Token& token) override;
    // Each value takes at least one character and a separator or space after it.
    uint64_t ValueCapacity() const override { return (size_ - pos_ + 1) / 2; }

private:
    void SkipSpaceAndComments();
    HRESULT ReadName(Token& token);
    HRESULT ReadNumber(Token& token);
    HRESULT ReadString(Token& token);
    HRESULT ReadGuid(Token& token);

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

} // namespace xfile
