#include "platform/xfile/parse_support.h"

#include "platform/xfile/dxfile.h"

namespace xfile {

namespace {

struct TypeKeyword {
    std::string_view text;
    Primitive primitive;
};

constexpr TypeKeyword TYPE_KEYWORDS[] = {
    {"WORD", Primitive::Word},       {"DWORD", Primitive::Dword},
    {"FLOAT", Primitive::Float},     {"DOUBLE", Primitive::Double},
    {"CHAR", Primitive::Char},       {"UCHAR", Primitive::Uchar},
    {"BYTE", Primitive::Byte},       {"SWORD", Primitive::Sword},
    {"SDWORD", Primitive::Sdword},   {"STRING", Primitive::String},
    {"LPSTR", Primitive::String},    {"CSTRING", Primitive::Cstring},
    {"UNICODE", Primitive::Unicode}, {"ULONGLONG", Primitive::Ulonglong},
    {"BINARY", Primitive::Binary},   {"BINARY_RESOURCE", Primitive::BinaryResource},
    {"VOID", Primitive::Void},
};

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

HRESULT ExpectToken(TokenReader& tokens, TokenKind kind, Token* taken) {
    Token token;
    if (HRESULT hr = tokens.Take(token); FAILED(hr)) {
        return hr;
    }
    if (token.kind != kind) {
        return DXFILEERR_PARSEERROR;
    }
    if (taken != nullptr) {
        *taken = token;
    }
    return S_OK;
}

HRESULT SkipSeparators(TokenReader& tokens, const Token** next) {
    for (;;) {
        const Token* peeked = nullptr;
        if (HRESULT hr = tokens.Peek(peeked); FAILED(hr)) {
            return hr;
        }
        if (!IsSeparator(*peeked)) {
            if (next != nullptr) {
                *next = peeked;
            }
            return S_OK;
        }
        Token skipped;
        tokens.Take(skipped);
    }
}

HRESULT TakeOptionalGuid(TokenReader& tokens, GUID& guid, bool& present) {
    present = false;
    const Token* next = nullptr;
    if (HRESULT hr = tokens.Peek(next); FAILED(hr)) {
        return hr;
    }
    bool bracketed = next->kind == TokenKind::OpenAngle;
    if (!bracketed && next->kind != TokenKind::Guid) {
        return S_OK;
    }
    Token token;
    if (bracketed) {
        tokens.Take(token);
    }
    if (HRESULT hr = ExpectToken(tokens, TokenKind::Guid, &token); FAILED(hr)) {
        return hr;
    }
    if (bracketed) {
        if (HRESULT hr = ExpectToken(tokens, TokenKind::CloseAngle); FAILED(hr)) {
            return hr;
        }
    }
    guid = token.guid;
    present = true;
    return S_OK;
}

bool IsTemplateKeyword(const Token& token) {
    return token.kind == TokenKind::KeywordTemplate ||
           (token.kind == TokenKind::Name && EqualsIgnoringCase(token.text, "template"));
}

bool IsArrayKeyword(const Token& token) {
    return token.kind == TokenKind::KeywordArray ||
           (token.kind == TokenKind::Name && EqualsIgnoringCase(token.text, "array"));
}

Primitive PrimitiveOfToken(const Token& token) {
    switch (token.kind) {
    case TokenKind::TypeWord:
        return Primitive::Word;
    case TokenKind::TypeDword:
        return Primitive::Dword;
    case TokenKind::TypeFloat:
        return Primitive::Float;
    case TokenKind::TypeDouble:
        return Primitive::Double;
    case TokenKind::TypeChar:
        return Primitive::Char;
    case TokenKind::TypeUchar:
        return Primitive::Uchar;
    case TokenKind::TypeSword:
        return Primitive::Sword;
    case TokenKind::TypeSdword:
        return Primitive::Sdword;
    case TokenKind::TypeVoid:
        return Primitive::Void;
    case TokenKind::TypeLpstr:
        return Primitive::String;
    case TokenKind::TypeUnicode:
        return Primitive::Unicode;
    case TokenKind::TypeCstring:
        return Primitive::Cstring;
    case TokenKind::Name:
        for (const TypeKeyword& keyword : TYPE_KEYWORDS) {
            if (EqualsIgnoringCase(token.text, keyword.text)) {
                return keyword.primitive;
            }
        }
        return Primitive::None;
    default:
        return Primitive::None;
    }
}

} // namespace xfile
