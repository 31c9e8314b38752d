#include "platform/xfile/binary_tokenizer.h"

#include <cstring>

#include "platform/xfile/dxfile.h"
#include "platform/xfile/xfile_limits.h"

namespace xfile {

namespace {

// Token codes of the binary encoding.
enum : uint16_t {
    CODE_NAME = 1,
    CODE_STRING = 2,
    CODE_INTEGER = 3,
    CODE_GUID = 5,
    CODE_INTEGER_LIST = 6,
    CODE_FLOAT_LIST = 7,
    CODE_COMMA = 19,
    CODE_SEMICOLON = 20,
};

// Payload-free tokens by code; End marks codes the encoding does not define.
TokenKind SimpleTokenKind(uint16_t code) {
    switch (code) {
    case 10:
        return TokenKind::OpenBrace;
    case 11:
        return TokenKind::CloseBrace;
    case 12:
        return TokenKind::OpenParen;
    case 13:
        return TokenKind::CloseParen;
    case 14:
        return TokenKind::OpenBracket;
    case 15:
        return TokenKind::CloseBracket;
    case 16:
        return TokenKind::OpenAngle;
    case 17:
        return TokenKind::CloseAngle;
    case 18:
        return TokenKind::Dot;
    case 19:
        return TokenKind::Comma;
    case 20:
        return TokenKind::Semicolon;
    case 31:
        return TokenKind::KeywordTemplate;
    case 40:
        return TokenKind::TypeWord;
    case 41:
        return TokenKind::TypeDword;
    case 42:
        return TokenKind::TypeFloat;
    case 43:
        return TokenKind::TypeDouble;
    case 44:
        return TokenKind::TypeChar;
    case 45:
        return TokenKind::TypeUchar;
    case 46:
        return TokenKind::TypeSword;
    case 47:
        return TokenKind::TypeSdword;
    case 48:
        return TokenKind::TypeVoid;
    case 49:
        return TokenKind::TypeLpstr;
    case 50:
        return TokenKind::TypeUnicode;
    case 51:
        return TokenKind::TypeCstring;
    case 52:
        return TokenKind::KeywordArray;
    default:
        return TokenKind::End;
    }
}

} // namespace

bool BinaryTokenizer::Read16(uint16_t& value) {
    if (!HasBytes(2)) {
        return false;
    }
    value = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return true;
}

bool BinaryTokenizer::Read32(uint32_t& value) {
    if (!HasBytes(4)) {
        return false;
    }
    value = uint32_t{data_[pos_]} | (uint32_t{data_[pos_ + 1]} << 8) |
            (uint32_t{data_[pos_ + 2]} << 16) | (uint32_t{data_[pos_ + 3]} << 24);
    pos_ += 4;
    return true;
}

HRESULT BinaryTokenizer::Next(Token& token) {
    token = Token{};
    // Lists hand out their values first; empty lists yield nothing and are passed over in this
    // loop rather than by recursion, however many follow each other.
    for (;;) {
        if (listLeft_ > 0) {
            return NextListValue(token);
        }
        if (pos_ >= size_) {
            token.kind = TokenKind::End;
            return S_OK;
        }
        uint16_t code = 0;
        if (!Read16(code)) {
            return DXFILEERR_PARSEERROR;
        }
        if (code != CODE_INTEGER_LIST && code != CODE_FLOAT_LIST) {
            return ReadToken(code, token);
        }
        if (HRESULT hr = StartList(code); FAILED(hr)) {
            return hr;
        }
    }
}

HRESULT BinaryTokenizer::ReadToken(uint16_t code, Token& token) {
    switch (code) {
    case CODE_NAME:
        return ReadCountedText(token, TokenKind::Name);
    case CODE_STRING:
        return ReadCountedText(token, TokenKind::String);
    case CODE_INTEGER: {
        uint32_t value = 0;
        if (!Read32(value)) {
            return DXFILEERR_PARSEERROR;
        }
        token.kind = TokenKind::Integer;
        token.magnitude = value;
        return S_OK;
    }
    case CODE_GUID: {
        uint32_t data1 = 0;
        uint16_t data2 = 0;
        uint16_t data3 = 0;
        if (!Read32(data1) || !Read16(data2) || !Read16(data3) || !HasBytes(8)) {
            return DXFILEERR_PARSEERROR;
        }
        token.kind = TokenKind::Guid;
        token.guid.Data1 = data1;
        token.guid.Data2 = data2;
        token.guid.Data3 = data3;
        std::memcpy(token.guid.Data4, data_ + pos_, 8);
        pos_ += 8;
        return S_OK;
    }
    default:
        break;
    }
    TokenKind kind = SimpleTokenKind(code);
    if (kind == TokenKind::End) {
        return DXFILEERR_PARSEERROR;
    }
    token.kind = kind;
    return S_OK;
}

HRESULT BinaryTokenizer::StartList(uint16_t code) {
    uint32_t count = 0;
    if (!Read32(count)) {
        return DXFILEERR_PARSEERROR;
    }
    uint64_t valueBytes = code == CODE_INTEGER_LIST ? 4 : floatBytes_;
    if (!HasBytes(uint64_t{count} * valueBytes)) {
        return DXFILEERR_PARSEERROR;
    }
    listKind_ = code == CODE_INTEGER_LIST ? ListKind::Integers : ListKind::Floats;
    listLeft_ = count;
    return S_OK;
}

HRESULT BinaryTokenizer::NextListValue(Token& token) {
    // The list's byte size was checked against the input when its count was read.
    --listLeft_;
    if (listKind_ == ListKind::Integers) {
        uint32_t value = 0;
        Read32(value);
        token.kind = TokenKind::Integer;
        token.magnitude = value;
        return S_OK;
    }
    token.kind = TokenKind::Float;
    if (floatBytes_ == 8) {
        double value = 0.0;
        std::memcpy(&value, data_ + pos_, 8);
        token.real = value;
        pos_ += 8;
    } else {
        float value = 0.0f;
        std::memcpy(&value, data_ + pos_, 4);
        token.real = value;
        pos_ += 4;
    }
    return S_OK;
}

HRESULT BinaryTokenizer::ReadCountedText(Token& token, TokenKind kind) {
    uint32_t count = 0;
    if (!Read32(count) || !HasBytes(count)) {
        return DXFILEERR_PARSEERROR;
    }
    if (kind == TokenKind::Name && (count == 0 || count > MAX_NAME_LENGTH)) {
        return DXFILEERR_PARSEERROR;
    }
    token.kind = kind;
    token.text = std::string_view(reinterpret_cast<const char*>(data_ + pos_), count);
    pos_ += count;
    if (kind == TokenKind::String) {
        SkipStringTerminator();
    }
    return S_OK;
}

void BinaryTokenizer::SkipStringTerminator() {
    // A string ends with a ';' or ',' code. Writers disagree on its width: some write 16 bits,
    // some 32. Code 0 is no token, so two zero bytes after the code belong to a 32-bit one.
    if (!HasBytes(2)) {
        return;
    }
    uint16_t code = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
    if (code != CODE_SEMICOLON && code != CODE_COMMA) {
        return;
    }
    pos_ += 2;
    if (HasBytes(2) && data_[pos_] == 0 && data_[pos_ + 1] == 0) {
        pos_ += 2;
    }
}

} // namespace xfile
