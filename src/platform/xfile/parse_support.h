// Small pieces both parsers (templates and data objects) share: expecting a token, skipping
// separators, and recognising keywords of either encoding.
#pragma once

#include <string_view>

#include "platform/xfile/template_set.h"
#include "platform/xfile/token.h"

namespace xfile {

// Takes the next token and fails with DXFILEERR_PARSEERROR unless it is of the given kind.
HRESULT ExpectToken(TokenReader& tokens, TokenKind kind, Token* taken = nullptr);

// Takes any ';' and ',' tokens. Writers leave them out or double them; where the template says
// what comes next they carry no information, so the reader neither needs nor counts them.
// `next`, when given, is pointed at the token that follows (still to be taken).
HRESULT SkipSeparators(TokenReader& tokens, const Token** next = nullptr);

// Takes an optional GUID: a GUID token, or (from some binary writers) one between '<' and '>'.
HRESULT TakeOptionalGuid(TokenReader& tokens, GUID& guid, bool& present);

// The "template" and "array" keywords: a binary keyword token or, in text, a name matched
// without regard to case.
bool IsTemplateKeyword(const Token& token);
bool IsArrayKeyword(const Token& token);

// The primitive a type token names, or Primitive::None when it names none (then it may be a
// template's name).
Primitive PrimitiveOfToken(const Token& token);

bool EqualsIgnoringCase(std::string_view a, std::string_view b);

} // namespace xfile
