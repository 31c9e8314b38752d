// One opened file: its bytes, the templates known to it, and its top-level data objects, parsed
// one at a time as the walk asks for them. Shared by the enumeration object and every data
// object handed out, so data and names stay valid while any of them is alive.
#pragma once

#include <memory>
#include <vector>

#include "platform/xfile/data_node.h"
#include "platform/xfile/file_header.h"
#include "platform/xfile/object_index.h"
#include "platform/xfile/object_parser.h"
#include "platform/xfile/parse_budget.h"
#include "platform/xfile/template_set.h"
#include "platform/xfile/token.h"

namespace xfile {

class Document {
public:
    // Checks the header; the rest is read on demand. registered is copied: templates the file
    // declares are known to this file only.
    static HRESULT Open(std::vector<uint8_t> bytes, const TemplateSet& registered,
                        std::shared_ptr<Document>& document);

    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // Top-level object number `index`, reading as far as needed. DXFILEERR_NOMOREOBJECTS past
    // the last. The first parse error sticks: objects before it stay available, every request
    // beyond them answers that error.
    HRESULT TopLevelObject(size_t index, const DataNode*& node);
    const DataNode* Resolve(const DataReference& reference) const { return index_.Find(reference); }

private:
    Document() = default;

    std::vector<uint8_t> bytes_;
    std::unique_ptr<Tokenizer> tokenizer_;
    std::unique_ptr<TokenReader> tokens_;
    TemplateSet templates_;
    ParseBudget budget_;
    ObjectIndex index_;
    std::unique_ptr<ObjectParser> parser_;
    std::vector<std::unique_ptr<DataNode>> topLevel_;
    HRESULT stopped_ = S_OK;
};

// Reads a block that holds templates only into templates. On any error templates is unchanged.
HRESULT ParseTemplateBlock(const uint8_t* data, size_t size, TemplateSet& templates);

} // namespace xfile
