// Reads a file's top level: template definitions, which join the template set as they are met,
// and data objects with their members and children.
//
//   TemplateName [objectName] { [<GUID>] members... children... }
//
// A child is a nested data object or a reference "{ name }", "{ <GUID> }", "{ name <GUID> }".
// Closed templates take no children; restricted ones only those of the templates they list.
#pragma once

#include <memory>

#include "platform/xfile/data_node.h"
#include "platform/xfile/object_index.h"
#include "platform/xfile/parse_budget.h"
#include "platform/xfile/template_set.h"
#include "platform/xfile/token.h"

namespace xfile {

class ObjectParser {
public:
    ObjectParser(TokenReader& tokens, TemplateSet& templates, ParseBudget& budget,
                 ObjectIndex& index)
        : tokens_(tokens), templates_(templates), budget_(budget), index_(index) {}

    // Reads templates until the next top-level data object and reads that object.
    // DXFILEERR_NOMOREOBJECTS at the end of the input.
    HRESULT NextTopLevelObject(std::unique_ptr<DataNode>& node);

private:
    HRESULT ParseObject(int depth, std::unique_ptr<DataNode>& node);
    HRESULT ParseChildren(int depth, DataNode& node);
    HRESULT ParseReference(DataReference& reference);

    TokenReader& tokens_;
    TemplateSet& templates_;
    ParseBudget& budget_;
    ObjectIndex& index_;
};

} // namespace xfile
