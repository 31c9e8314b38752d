// The tokens both encodings of the format share. The text tokenizer and the binary tokenizer
// turn their input into this one stream, so a single parser serves both.
//
// Text keywords arrive as Name tokens (the parser matches them without regard to case); the
// binary encoding has its own keyword and type tokens. Binary integer and float lists arrive as
// one Integer or Float token per value, so values are read the same way whether a writer split
// or merged its lists.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/win32/types.h"

namespace xfile {

enum class TokenKind : uint8_t {
    End,
    Name,
    String,
    Integer,
    Float,
    Guid,
    OpenBrace,
    CloseBrace,
    OpenParen,
    CloseParen,
    OpenBracket,
    CloseBracket,
    OpenAngle,
    CloseAngle,
    Dot,
    Comma,
    Semicolon,
    // Binary encoding only.
    KeywordTemplate,
    KeywordArray,
    TypeWord,
    TypeDword,
    TypeFloat,
    TypeDouble,
    TypeChar,
    TypeUchar,
    TypeSword,
    TypeSdword,
    TypeVoid,
    TypeLpstr,
    TypeUnicode,
    TypeCstring,
};

struct Token {
    TokenKind kind = TokenKind::End;
    // Name and String: the characters, pointing into the file's bytes.
    std::string_view text;
    // Integer: the magnitude and its sign (text may carry a minus; binary values are unsigned).
    uint64_t magnitude = 0;
    bool negative = false;
    // Float.
    double real = 0.0;
    // Guid.
    GUID guid{};
};

inline bool IsSeparator(const Token& token) {
    return token.kind == TokenKind::Semicolon || token.kind == TokenKind::Comma;
}

// A source of tokens: the text or the binary tokenizer.
class Tokenizer {
public:
    virtual ~Tokenizer() = default;
    // The next token, or End at the end of the input. Malformed input gives an error result.
    virtual HRESULT Next(Token& token) = 0;
    // An upper bound on the number of values the rest of the input can still hold, so that a
    // count read from the file can be checked before anything is allocated or looped over.
    virtual uint64_t ValueCapacity() const = 0;
};

// One token of lookahead over a tokenizer. The first error sticks: every later call answers it.
class TokenReader {
public:
    explicit TokenReader(Tokenizer& source) : source_(source) {}

    HRESULT Peek(const Token*& token) {
        if (!hasPeeked_) {
            if (HRESULT hr = Fill(); FAILED(hr)) {
                return hr;
            }
        }
        token = &peeked_;
        return S_OK;
    }
    HRESULT Take(Token& token) {
        if (!hasPeeked_) {
            if (HRESULT hr = Fill(); FAILED(hr)) {
                return hr;
            }
        }
        token = peeked_;
        hasPeeked_ = false;
        return S_OK;
    }
    uint64_t ValueCapacity() const { return source_.ValueCapacity() + (hasPeeked_ ? 1 : 0); }

private:
    HRESULT Fill() {
        if (FAILED(error_)) {
            return error_;
        }
        error_ = source_.Next(peeked_);
        if (FAILED(error_)) {
            return error_;
        }
        hasPeeked_ = true;
        return S_OK;
    }

    Tokenizer& source_;
    Token peeked_;
    bool hasPeeked_ = false;
    HRESULT error_ = S_OK;
};

} // namespace xfile
