#include "platform/xfile/document.h"

#include <new>

#include "platform/xfile/binary_tokenizer.h"
#include "platform/xfile/dxfile.h"
#include "platform/xfile/text_tokenizer.h"
#include "platform/xfile/xtemplates.h"

namespace xfile {

namespace {

std::unique_ptr<Tokenizer> MakeTokenizer(const FileFormat& format, const uint8_t* body,
                                         size_t size) {
    if (format.binary) {
        return std::make_unique<BinaryTokenizer>(body, size, format.floatBytes);
    }
    return std::make_unique<TextTokenizer>(body, size);
}

HRESULT ReadTemplateBlock(const uint8_t* data, size_t size, TemplateSet& templates) {
    FileFormat format;
    if (HRESULT hr = ParseFileHeader(data, size, format); FAILED(hr)) {
        return hr;
    }
    std::unique_ptr<Tokenizer> tokenizer =
        MakeTokenizer(format, data + HEADER_BYTES, size - HEADER_BYTES);
    TokenReader tokens(*tokenizer);
    TemplateSet extended = templates;
    ParseBudget budget;
    ObjectIndex index;
    ObjectParser parser(tokens, extended, budget, index);
    std::unique_ptr<DataNode> object;
    HRESULT hr = parser.NextTopLevelObject(object);
    if (hr == DXFILEERR_NOMOREOBJECTS) {
        templates = std::move(extended);
        return S_OK;
    }
    // A data object in a template block is a fault of the block.
    return SUCCEEDED(hr) ? DXFILEERR_PARSEERROR : hr;
}

struct StandardSet {
    TemplateSet templates;
    HRESULT read = E_FAIL;
};

} // namespace

HRESULT Document::Open(std::vector<uint8_t> bytes, const TemplateSet& registered,
                       std::shared_ptr<Document>& document) {
    FileFormat format;
    if (HRESULT hr = ParseFileHeader(bytes.data(), bytes.size(), format); FAILED(hr)) {
        return hr;
    }
    std::shared_ptr<Document> opened(new Document());
    opened->bytes_ = std::move(bytes);
    opened->templates_ = registered;
    opened->tokenizer_ = MakeTokenizer(format, opened->bytes_.data() + HEADER_BYTES,
                                       opened->bytes_.size() - HEADER_BYTES);
    opened->tokens_ = std::make_unique<TokenReader>(*opened->tokenizer_);
    opened->parser_ = std::make_unique<ObjectParser>(*opened->tokens_, opened->templates_,
                                                     opened->budget_, opened->index_);
    document = std::move(opened);
    return S_OK;
}

HRESULT Document::TopLevelObject(size_t index, const DataNode*& node) {
    while (index >= topLevel_.size()) {
        if (FAILED(stopped_)) {
            return stopped_;
        }
        size_t completedBefore = index_.Completed();
        try {
            std::unique_ptr<DataNode> parsed;
            stopped_ = parser_->NextTopLevelObject(parsed);
            if (SUCCEEDED(stopped_)) {
                topLevel_.push_back(std::move(parsed));
            }
        } catch (const std::bad_alloc&) {
            index_.TruncateTo(completedBefore);
            stopped_ = DXFILEERR_BADALLOC;
        }
        if (FAILED(stopped_)) {
            return stopped_;
        }
    }
    node = topLevel_[index].get();
    return S_OK;
}

HRESULT ParseTemplateBlock(const uint8_t* data, size_t size, TemplateSet& templates) {
    // Every model load registers the standard block into a new file object, and reading it costs
    // far more than a small model does. Into an empty set it always gives the same templates,
    // which never change once made: they are read once and shared. Never destroyed, so that a
    // load from another clean-up at process exit still finds them.
    if (templates.Size() == 0 && data == D3DRM_XTEMPLATES && size == D3DRM_XTEMPLATE_BYTES) {
        static const StandardSet* const standard = [] {
            auto* set = new StandardSet;
            set->read = ReadTemplateBlock(D3DRM_XTEMPLATES, D3DRM_XTEMPLATE_BYTES, set->templates);
            return set;
        }();
        if (SUCCEEDED(standard->read)) {
            templates = standard->templates;
            return S_OK;
        }
    }
    return ReadTemplateBlock(data, size, templates);
}

} // namespace xfile
