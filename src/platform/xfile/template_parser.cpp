#include "platform/xfile/template_parser.h"

#include "platform/xfile/dxfile.h"
#include "platform/xfile/parse_support.h"
#include "platform/xfile/xfile_limits.h"

namespace xfile {

namespace {

HRESULT ParseMemberType(TokenReader& tokens, const TemplateSet& known, TemplateMember& member) {
    Token token;
    if (HRESULT hr = tokens.Take(token); FAILED(hr)) {
        return hr;
    }
    member.primitive = PrimitiveOfToken(token);
    if (member.primitive != Primitive::None) {
        return S_OK;
    }
    if (token.kind != TokenKind::Name) {
        return DXFILEERR_PARSEERROR;
    }
    member.type = known.Find(token.text);
    return member.type != nullptr ? S_OK : DXFILEERR_NOTEMPLATE;
}

HRESULT ParseDimension(TokenReader& tokens, const Template& owner, ArrayDimension& dimension) {
    Token token;
    if (HRESULT hr = tokens.Take(token); FAILED(hr)) {
        return hr;
    }
    if (token.kind == TokenKind::Integer) {
        if (token.negative || token.magnitude > UINT32_MAX) {
            return DXFILEERR_BADARRAYSIZE;
        }
        dimension.constant = static_cast<uint32_t>(token.magnitude);
        return ExpectToken(tokens, TokenKind::CloseBracket);
    }
    if (token.kind != TokenKind::Name) {
        return DXFILEERR_BADARRAYSIZE;
    }
    // Only members already read are in owner.members, so a later member is not found here.
    int index = owner.FindMember(token.text);
    if (index < 0) {
        return DXFILEERR_BADARRAYSIZE;
    }
    const TemplateMember& count = owner.members[static_cast<size_t>(index)];
    if (!count.dimensions.empty() || !IsIntegerPrimitive(count.primitive)) {
        return DXFILEERR_BADARRAYSIZE;
    }
    dimension.fromMember = true;
    dimension.memberIndex = static_cast<size_t>(index);
    return ExpectToken(tokens, TokenKind::CloseBracket);
}

HRESULT ParseMember(TokenReader& tokens, const TemplateSet& known, ParseBudget& budget,
                    Template& owner) {
    TemplateMember member;
    const Token* next = nullptr;
    if (HRESULT hr = tokens.Peek(next); FAILED(hr)) {
        return hr;
    }
    bool isArray = IsArrayKeyword(*next);
    if (isArray) {
        Token keyword;
        tokens.Take(keyword);
    }
    if (HRESULT hr = ParseMemberType(tokens, known, member); FAILED(hr)) {
        return hr;
    }
    if (HRESULT hr = tokens.Peek(next); FAILED(hr)) {
        return hr;
    }
    if (next->kind == TokenKind::Name) {
        Token name;
        tokens.Take(name);
        member.name.assign(name.text);
    } else if (isArray) {
        return DXFILEERR_PARSEERROR;
    }
    if (!member.name.empty() && owner.FindMember(member.name) >= 0) {
        return DXFILEERR_PARSEERROR;
    }
    if (isArray) {
        do {
            if (!budget.Charge(sizeof(ArrayDimension))) {
                return DXFILEERR_BADALLOC;
            }
            if (HRESULT hr = ExpectToken(tokens, TokenKind::OpenBracket); FAILED(hr)) {
                return hr;
            }
            ArrayDimension dimension;
            if (HRESULT hr = ParseDimension(tokens, owner, dimension); FAILED(hr)) {
                return hr;
            }
            member.dimensions.push_back(dimension);
            if (HRESULT hr = tokens.Peek(next); FAILED(hr)) {
                return hr;
            }
        } while (next->kind == TokenKind::OpenBracket);
    }
    if (HRESULT hr = ExpectToken(tokens, TokenKind::Semicolon); FAILED(hr)) {
        return hr;
    }
    if (!budget.Charge(sizeof(TemplateMember) + member.name.size())) {
        return DXFILEERR_BADALLOC;
    }
    owner.members.push_back(std::move(member));
    return S_OK;
}

// After the opening '['.
HRESULT ParseRestriction(TokenReader& tokens, ParseBudget& budget, Template& owner) {
    const Token* next = nullptr;
    if (HRESULT hr = tokens.Peek(next); FAILED(hr)) {
        return hr;
    }
    if (next->kind == TokenKind::Dot) {
        // "[...]"; the text reader sees three dots, some writers leave out spaces or dots.
        while (next->kind == TokenKind::Dot) {
            Token dot;
            tokens.Take(dot);
            if (HRESULT hr = tokens.Peek(next); FAILED(hr)) {
                return hr;
            }
        }
        owner.childRule = ChildRule::Open;
        return ExpectToken(tokens, TokenKind::CloseBracket);
    }
    owner.childRule = ChildRule::Restricted;
    for (;;) {
        if (HRESULT hr = SkipSeparators(tokens); FAILED(hr)) {
            return hr;
        }
        Token token;
        if (HRESULT hr = tokens.Take(token); FAILED(hr)) {
            return hr;
        }
        if (token.kind == TokenKind::CloseBracket) {
            return S_OK;
        }
        // Names of templates, possibly defined later, or of primitive types such as BINARY.
        std::string_view name = token.text;
        if (token.kind != TokenKind::Name) {
            return DXFILEERR_PARSEERROR;
        }
        GUID ignored{};
        bool hasGuid = false;
        if (HRESULT hr = TakeOptionalGuid(tokens, ignored, hasGuid); FAILED(hr)) {
            return hr;
        }
        if (!budget.Charge(sizeof(std::string) + name.size())) {
            return DXFILEERR_BADALLOC;
        }
        owner.allowedChildren.emplace_back(name);
    }
}

} // namespace

HRESULT ParseTemplate(TokenReader& tokens, const TemplateSet& known, ParseBudget& budget,
                      std::shared_ptr<Template>& parsed) {
    auto templ = std::make_shared<Template>();
    Token name;
    if (HRESULT hr = ExpectToken(tokens, TokenKind::Name, &name); FAILED(hr)) {
        return hr;
    }
    if (!budget.Charge(TEMPLATE_OVERHEAD_BYTES + name.text.size())) {
        return DXFILEERR_BADALLOC;
    }
    templ->name.assign(name.text);
    if (HRESULT hr = ExpectToken(tokens, TokenKind::OpenBrace); FAILED(hr)) {
        return hr;
    }
    bool hasGuid = false;
    if (HRESULT hr = TakeOptionalGuid(tokens, templ->guid, hasGuid); FAILED(hr)) {
        return hr;
    }
    for (;;) {
        const Token* next = nullptr;
        if (HRESULT hr = tokens.Peek(next); FAILED(hr)) {
            return hr;
        }
        if (next->kind == TokenKind::CloseBrace) {
            break;
        }
        if (next->kind == TokenKind::OpenBracket) {
            Token open;
            tokens.Take(open);
            if (HRESULT hr = ParseRestriction(tokens, budget, *templ); FAILED(hr)) {
                return hr;
            }
            if (HRESULT hr = SkipSeparators(tokens); FAILED(hr)) {
                return hr;
            }
            break;
        }
        if (next->kind == TokenKind::End) {
            return DXFILEERR_PARSEERROR;
        }
        if (HRESULT hr = ParseMember(tokens, known, budget, *templ); FAILED(hr)) {
            return hr;
        }
    }
    if (HRESULT hr = ExpectToken(tokens, TokenKind::CloseBrace); FAILED(hr)) {
        return hr;
    }
    ComputeTemplateMetrics(*templ);
    if (templ->depth > MAX_TEMPLATE_DEPTH) {
        return DXFILEERR_PARSEERROR;
    }
    parsed = std::move(templ);
    return S_OK;
}

} // namespace xfile
