// Reads one template definition:
//   template Name { <GUID> member; ... [restriction] }
// where a member is "TYPE [name];" or "array TYPE name[dim]...;", a dimension is a number or
// the name of an earlier integer member, and the restriction is "[...]" (any child) or a list of
// template names, each with an optional GUID. Without a restriction the template is closed.
#pragma once

#include <memory>

#include "platform/xfile/parse_budget.h"
#include "platform/xfile/template_set.h"
#include "platform/xfile/token.h"

namespace xfile {

// Call with the "template" keyword already taken. Member types are looked up in known; the
// template being defined is not yet in it, so it cannot contain itself.
HRESULT ParseTemplate(TokenReader& tokens, const TemplateSet& known, ParseBudget& budget,
                      std::shared_ptr<Template>& parsed);

} // namespace xfile
