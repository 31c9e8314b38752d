#include "platform/xfile/text_tokenizer.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/xfile/dxfile.h"
#include "platform/xfile/guid_text.h"
#include "platform/xfile/xfile_limits.h"

namespace xfile {

namespace {

// The whole of [first, last) as a decimal number, in the C locale's spelling whatever the
// process's locale. Standard libraries without floating-point from_chars (the browser build's)
// read a bounded copy with strtod, which under the C locale reads the same.
bool ParseDecimal(const char* first, const char* last, double* value) {
#if defined(__cpp_lib_to_chars)
    auto [end, error] = std::from_chars(first, last, *value);
    return error == std::errc() && end == last;
#else
    constexpr size_t LONGEST_NUMBER = 64;
    const size_t length = size_t(last - first);
    if (length == 0 || length >= LONGEST_NUMBER) {
        return false;
    }
    char copy[LONGEST_NUMBER];
    std::memcpy(copy, first, length);
    copy[length] = '\0';
    char* end = nullptr;
    *value = std::strtod(copy, &end);
    return end == copy + length;
#endif
}

bool IsNameStart(uint8_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsDigit(uint8_t c) {
    return c >= '0' && c <= '9';
}
bool IsNamePart(uint8_t c) {
    return IsNameStart(c) || IsDigit(c);
}
bool IsSpace(uint8_t c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// A GUID between angle brackets is 36 characters; allow spaces around it but no more.
constexpr size_t MAX_GUID_SPAN = 64;

} // namespace

void TextTokenizer::SkipSpaceAndComments() {
    while (pos_ < size_) {
        uint8_t c = data_[pos_];
        if (IsSpace(c)) {
            ++pos_;
        } else if (c == '#' || (c == '/' && pos_ + 1 < size_ && data_[pos_ + 1] == '/')) {
            // A comment that never ends simply ends the file.
            while (pos_ < size_ && data_[pos_] != '\n') {
                ++pos_;
            }
        } else {
            return;
        }
    }
}

HRESULT TextTokenizer::Next(Token& token) {
    token = Token{};
    SkipSpaceAndComments();
    if (pos_ >= size_) {
        token.kind = TokenKind::End;
        return S_OK;
    }
    uint8_t c = data_[pos_];
    if (IsNameStart(c)) {
        return ReadName(token);
    }
    bool dotNumber = c == '.' && pos_ + 1 < size_ && IsDigit(data_[pos_ + 1]);
    if (IsDigit(c) || c == '-' || c == '+' || dotNumber) {
        return ReadNumber(token);
    }
    if (c == '"') {
        return ReadString(token);
    }
    if (c == '<') {
        return ReadGuid(token);
    }
    TokenKind kind;
    switch (c) {
    case '{':
        kind = TokenKind::OpenBrace;
        break;
    case '}':
        kind = TokenKind::CloseBrace;
        break;
    case '(':
        kind = TokenKind::OpenParen;
        break;
    case ')':
        kind = TokenKind::CloseParen;
        break;
    case '[':
        kind = TokenKind::OpenBracket;
        break;
    case ']':
        kind = TokenKind::CloseBracket;
        break;
    case '.':
        kind = TokenKind::Dot;
        break;
    case ',':
        kind = TokenKind::Comma;
        break;
    case ';':
        kind = TokenKind::Semicolon;
        break;
    default:
        return DXFILEERR_PARSEERROR;
    }
    ++pos_;
    token.kind = kind;
    return S_OK;
}

HRESULT TextTokenizer::ReadName(Token& token) {
    size_t start = pos_;
    while (pos_ < size_ && IsNamePart(data_[pos_])) {
        if (pos_ - start >= MAX_NAME_LENGTH) {
            return DXFILEERR_PARSEERROR;
        }
        ++pos_;
    }
    token.kind = TokenKind::Name;
    token.text = std::string_view(reinterpret_cast<const char*>(data_ + start), pos_ - start);
    return S_OK;
}

HRESULT TextTokenizer::ReadNumber(Token& token) {
    size_t start = pos_;
    bool negative = false;
    if (data_[pos_] == '-' || data_[pos_] == '+') {
        negative = data_[pos_] == '-';
        ++pos_;
    }
    size_t digitsStart = pos_;
    bool isFloat = false;
    size_t digits = 0;
    while (pos_ < size_ && IsDigit(data_[pos_])) {
        ++pos_;
        ++digits;
    }
    if (pos_ < size_ && data_[pos_] == '.') {
        isFloat = true;
        ++pos_;
        while (pos_ < size_ && IsDigit(data_[pos_])) {
            ++pos_;
            ++digits;
        }
    }
    if (digits == 0) {
        return DXFILEERR_PARSEERROR;
    }
    if (pos_ < size_ && (data_[pos_] == 'e' || data_[pos_] == 'E')) {
        isFloat = true;
        ++pos_;
        if (pos_ < size_ && (data_[pos_] == '-' || data_[pos_] == '+')) {
            ++pos_;
        }
        size_t exponentDigits = 0;
        while (pos_ < size_ && IsDigit(data_[pos_])) {
            ++pos_;
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return DXFILEERR_PARSEERROR;
        }
    }
    // Numbers written without a break before a name ("3Frame") are malformed.
    if (pos_ < size_ && IsNameStart(data_[pos_])) {
        return DXFILEERR_PARSEERROR;
    }
    const char* first = reinterpret_cast<const char*>(data_ + digitsStart);
    const char* last = reinterpret_cast<const char*>(data_ + pos_);
    if (isFloat) {
        double value = 0.0;
        if (!ParseDecimal(first, last, &value)) {
            return DXFILEERR_BADVALUE;
        }
        token.kind = TokenKind::Float;
        token.real = negative ? -value : value;
    } else {
        uint64_t value = 0;
        auto [end, error] = std::from_chars(first, last, value);
        if (error != std::errc() || end != last) {
            return DXFILEERR_BADVALUE;
        }
        token.kind = TokenKind::Integer;
        token.magnitude = value;
        token.negative = negative && value != 0;
    }
    token.text = std::string_view(reinterpret_cast<const char*>(data_ + start), pos_ - start);
    return S_OK;
}

HRESULT TextTokenizer::ReadString(Token& token) {
    size_t start = ++pos_;
    while (pos_ < size_ && data_[pos_] != '"') {
        ++pos_;
    }
    if (pos_ >= size_) {
        return DXFILEERR_PARSEERROR;
    }
    token.kind = TokenKind::String;
    token.text = std::string_view(reinterpret_cast<const char*>(data_ + start), pos_ - start);
    ++pos_;
    return S_OK;
}

HRESULT TextTokenizer::ReadGuid(Token& token) {
    size_t start = ++pos_;
    size_t end = start;
    while (end < size_ && data_[end] != '>' && end - start < MAX_GUID_SPAN) {
        ++end;
    }
    if (end >= size_ || data_[end] != '>') {
        return DXFILEERR_PARSEERROR;
    }
    std::string_view inside(reinterpret_cast<const char*>(data_ + start), end - start);
    while (!inside.empty() && IsSpace(static_cast<uint8_t>(inside.front()))) {
        inside.remove_prefix(1);
    }
    while (!inside.empty() && IsSpace(static_cast<uint8_t>(inside.back()))) {
        inside.remove_suffix(1);
    }
    if (!ParseGuidText(inside, token.guid)) {
        return DXFILEERR_PARSEERROR;
    }
    token.kind = TokenKind::Guid;
    pos_ = end + 1;
    return S_OK;
}

} // namespace xfile
