// Reads the member values of one data object and lays them out as its template describes:
// scalars packed little-endian at their sizes, arrays and nested templates inline, array counts
// taken from earlier members, strings copied and stored as pointers.
//
// Separators between values are skipped wherever they stand (see SkipSeparators). Every array
// count is checked against the values the input can still hold before any element is read.
#pragma once

#include "platform/xfile/data_node.h"
#include "platform/xfile/parse_budget.h"
#include "platform/xfile/token.h"

namespace xfile {

// Fills node.data, node.memberOffsets and node.strings from the tokens after the object's '{'
// (and GUID) for the template node.templ.
HRESULT ReadMemberData(TokenReader& tokens, ParseBudget& budget, DataNode& node);

} // namespace xfile
