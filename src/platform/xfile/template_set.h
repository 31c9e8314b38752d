// Templates: what a data object's members are, how they are laid out, and which children it
// may have. A TemplateSet holds the templates known at one point of reading, by name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/win32/types.h"

namespace xfile {

// Member types of the format. Binary, BinaryResource and Void cannot be laid out as data.
enum class Primitive : uint8_t {
    None, // the member is a template
    Word,
    Dword,
    Float,
    Double,
    Char,
    Uchar,
    Byte,
    Sword,
    Sdword,
    String,
    Cstring,
    Unicode,
    Ulonglong,
    Binary,
    BinaryResource,
    Void,
};

// Bytes one value of the type takes in GetData's layout; strings are pointers. 0 for the types
// that cannot be laid out.
unsigned PrimitiveBytes(Primitive type);
bool IsIntegerPrimitive(Primitive type);
bool IsSignedPrimitive(Primitive type);
bool IsStringPrimitive(Primitive type);
bool IsFloatPrimitive(Primitive type);

struct Template;

// One array dimension: a constant, or the value of an earlier member of the same template.
struct ArrayDimension {
    bool fromMember = false;
    uint32_t constant = 0;
    size_t memberIndex = 0;
};

struct TemplateMember {
    Primitive primitive = Primitive::None;
    // Set when primitive is None. Templates only name templates defined before them, and a
    // TemplateSet keeps every template it ever held alive, so the pointer stays valid.
    const Template* type = nullptr;
    std::string name;
    // Empty for a single value; otherwise the dimensions, outermost first.
    std::vector<ArrayDimension> dimensions;
};

enum class ChildRule : uint8_t {
    Closed,     // no children
    Open,       // any child
    Restricted, // children of the listed templates only
};

struct Template {
    std::string name;
    GUID guid{};
    std::vector<TemplateMember> members;
    ChildRule childRule = ChildRule::Closed;
    std::vector<std::string> allowedChildren;
    // 1 for a template of primitives only; one more per level of templates inside templates.
    int depth = 1;
    // The fewest values an instance can hold (saturating), so that a count of instances can be
    // checked against the values the input can still hold. 0 means an instance never holds any
    // value and so takes no bytes.
    uint64_t minValues = 0;

    // Index of the member of that name, or -1.
    int FindMember(std::string_view memberName) const;
    bool AllowsChild(std::string_view templateName) const;
    // Same GUID and the same layout: member types and dimensions (names may differ).
    bool SameLayoutAs(const Template& other) const;
};

// Fills depth and minValues from the members (whose types must already be complete).
void ComputeTemplateMetrics(Template& templ);

class TemplateSet {
public:
    const Template* Find(std::string_view name) const;
    // Adds the template. A second definition of a known name is accepted without change when it
    // has the same layout (real files repeat the standard templates), else it is an error.
    HRESULT Add(std::shared_ptr<const Template> templ);
    // In the order of definition.
    const std::vector<std::shared_ptr<const Template>>& All() const { return ordered_; }
    size_t Size() const { return ordered_.size(); }

private:
    std::vector<std::shared_ptr<const Template>> ordered_;
    std::unordered_map<std::string, const Template*> byName_;
};

} // namespace xfile
