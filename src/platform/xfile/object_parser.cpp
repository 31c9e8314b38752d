#include "platform/xfile/object_parser.h"

#include "platform/xfile/data_reader.h"
#include "platform/xfile/dxfile.h"
#include "platform/xfile/parse_support.h"
#include "platform/xfile/template_parser.h"
#include "platform/xfile/xfile_limits.h"

namespace xfile {

HRESULT ObjectParser::NextTopLevelObject(std::unique_ptr<DataNode>& node) {
    for (;;) {
        const Token* next = nullptr;
        if (HRESULT hr = SkipSeparators(tokens_, &next); FAILED(hr)) {
            return hr;
        }
        if (next->kind == TokenKind::End) {
            return DXFILEERR_NOMOREOBJECTS;
        }
        if (IsTemplateKeyword(*next)) {
            Token keyword;
            tokens_.Take(keyword);
            std::shared_ptr<Template> templ;
            if (HRESULT hr = ParseTemplate(tokens_, templates_, budget_, templ); FAILED(hr)) {
                return hr;
            }
            if (HRESULT hr = templates_.Add(std::move(templ)); FAILED(hr)) {
                return hr;
            }
            continue;
        }
        if (next->kind != TokenKind::Name) {
            return DXFILEERR_PARSEERROR;
        }
        size_t completedBefore = index_.Completed();
        HRESULT hr = ParseObject(1, node);
        if (FAILED(hr)) {
            index_.TruncateTo(completedBefore);
        }
        return hr;
    }
}

HRESULT ObjectParser::ParseObject(int depth, std::unique_ptr<DataNode>& node) {
    Token typeName;
    if (HRESULT hr = ExpectToken(tokens_, TokenKind::Name, &typeName); FAILED(hr)) {
        return hr;
    }
    const Template* templ = templates_.Find(typeName.text);
    if (templ == nullptr) {
        return DXFILEERR_NOTEMPLATE;
    }
    if (!budget_.Charge(OBJECT_OVERHEAD_BYTES)) {
        return DXFILEERR_BADALLOC;
    }
    auto parsed = std::make_unique<DataNode>();
    parsed->templ = templ;
    const Token* next = nullptr;
    if (HRESULT hr = tokens_.Peek(next); FAILED(hr)) {
        return hr;
    }
    if (next->kind == TokenKind::Name) {
        Token objectName;
        tokens_.Take(objectName);
        if (!budget_.Charge(objectName.text.size())) {
            return DXFILEERR_BADALLOC;
        }
        parsed->name.assign(objectName.text);
    }
    if (HRESULT hr = ExpectToken(tokens_, TokenKind::OpenBrace); FAILED(hr)) {
        return hr;
    }
    if (HRESULT hr = TakeOptionalGuid(tokens_, parsed->guid, parsed->hasGuid); FAILED(hr)) {
        return hr;
    }
    if (HRESULT hr = ReadMemberData(tokens_, budget_, *parsed); FAILED(hr)) {
        return hr;
    }
    if (HRESULT hr = ParseChildren(depth, *parsed); FAILED(hr)) {
        return hr;
    }
    if (HRESULT hr = ExpectToken(tokens_, TokenKind::CloseBrace); FAILED(hr)) {
        return hr;
    }
    index_.Add(*parsed);
    node = std::move(parsed);
    return S_OK;
}

HRESULT ObjectParser::ParseChildren(int depth, DataNode& node) {
    for (;;) {
        const Token* next = nullptr;
        if (HRESULT hr = SkipSeparators(tokens_, &next); FAILED(hr)) {
            return hr;
        }
        if (next->kind == TokenKind::CloseBrace) {
            return S_OK;
        }
        if (next->kind == TokenKind::OpenBrace) {
            if (node.templ->childRule == ChildRule::Closed) {
                return DXFILEERR_PARSEERROR;
            }
            DataReference reference;
            if (HRESULT hr = ParseReference(reference); FAILED(hr)) {
                return hr;
            }
            node.children.emplace_back(std::move(reference));
            continue;
        }
        if (next->kind != TokenKind::Name) {
            // Values beyond what the template holds, or a stray token.
            return DXFILEERR_PARSEERROR;
        }
        if (!node.templ->AllowsChild(next->text) || depth >= MAX_OBJECT_DEPTH) {
            return DXFILEERR_PARSEERROR;
        }
        std::unique_ptr<DataNode> child;
        if (HRESULT hr = ParseObject(depth + 1, child); FAILED(hr)) {
            return hr;
        }
        node.children.emplace_back(std::move(child));
    }
}

HRESULT ObjectParser::ParseReference(DataReference& reference) {
    if (HRESULT hr = ExpectToken(tokens_, TokenKind::OpenBrace); FAILED(hr)) {
        return hr;
    }
    const Token* next = nullptr;
    if (HRESULT hr = tokens_.Peek(next); FAILED(hr)) {
        return hr;
    }
    bool hasName = next->kind == TokenKind::Name;
    if (hasName) {
        Token name;
        tokens_.Take(name);
        reference.name.assign(name.text);
    }
    if (HRESULT hr = TakeOptionalGuid(tokens_, reference.guid, reference.hasGuid); FAILED(hr)) {
        return hr;
    }
    if (!hasName && !reference.hasGuid) {
        return DXFILEERR_PARSEERROR;
    }
    if (!budget_.Charge(sizeof(DataChild) + reference.name.size())) {
        return DXFILEERR_BADALLOC;
    }
    reference.visibleObjects = index_.Completed();
    return ExpectToken(tokens_, TokenKind::CloseBrace);
}

} // namespace xfile
