#include "platform/xfile/template_set.h"

#include <algorithm>

#include "platform/xfile/dxfile.h"

namespace xfile {

namespace {

uint64_t SaturatingMultiply(uint64_t a, uint64_t b) {
    if (a != 0 && b > UINT64_MAX / a) {
        return UINT64_MAX;
    }
    return a * b;
}

uint64_t SaturatingAdd(uint64_t a, uint64_t b) {
    return b > UINT64_MAX - a ? UINT64_MAX : a + b;
}

} // namespace

unsigned PrimitiveBytes(Primitive type) {
    switch (type) {
    case Primitive::Char:
    case Primitive::Uchar:
    case Primitive::Byte:
        return 1;
    case Primitive::Word:
    case Primitive::Sword:
        return 2;
    case Primitive::Dword:
    case Primitive::Sdword:
    case Primitive::Float:
        return 4;
    case Primitive::Double:
    case Primitive::Ulonglong:
        return 8;
    case Primitive::String:
    case Primitive::Cstring:
    case Primitive::Unicode:
        return sizeof(char*);
    default:
        return 0;
    }
}

bool IsIntegerPrimitive(Primitive type) {
    switch (type) {
    case Primitive::Word:
    case Primitive::Dword:
    case Primitive::Char:
    case Primitive::Uchar:
    case Primitive::Byte:
    case Primitive::Sword:
    case Primitive::Sdword:
    case Primitive::Ulonglong:
        return true;
    default:
        return false;
    }
}

bool IsSignedPrimitive(Primitive type) {
    return type == Primitive::Char || type == Primitive::Sword || type == Primitive::Sdword;
}

bool IsStringPrimitive(Primitive type) {
    return type == Primitive::String || type == Primitive::Cstring || type == Primitive::Unicode;
}

bool IsFloatPrimitive(Primitive type) {
    return type == Primitive::Float || type == Primitive::Double;
}

int Template::FindMember(std::string_view memberName) const {
    for (size_t i = 0; i < members.size(); ++i) {
        if (members[i].name == memberName) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool Template::AllowsChild(std::string_view templateName) const {
    switch (childRule) {
    case ChildRule::Closed:
        return false;
    case ChildRule::Open:
        return true;
    case ChildRule::Restricted:
        return std::find(allowedChildren.begin(), allowedChildren.end(), templateName) !=
               allowedChildren.end();
    }
    return false;
}

bool Template::SameLayoutAs(const Template& other) const {
    if (!IsEqualGUID(guid, other.guid) || members.size() != other.members.size()) {
        return false;
    }
    for (size_t i = 0; i < members.size(); ++i) {
        const TemplateMember& a = members[i];
        const TemplateMember& b = other.members[i];
        if (a.primitive != b.primitive || a.dimensions.size() != b.dimensions.size()) {
            return false;
        }
        if (a.primitive == Primitive::None && a.type->name != b.type->name) {
            return false;
        }
        for (size_t d = 0; d < a.dimensions.size(); ++d) {
            const ArrayDimension& x = a.dimensions[d];
            const ArrayDimension& y = b.dimensions[d];
            if (x.fromMember != y.fromMember ||
                (x.fromMember ? x.memberIndex != y.memberIndex : x.constant != y.constant)) {
                return false;
            }
        }
    }
    return true;
}

void ComputeTemplateMetrics(Template& templ) {
    int depth = 1;
    uint64_t minValues = 0;
    for (const TemplateMember& member : templ.members) {
        uint64_t elementValues = 1;
        if (member.primitive == Primitive::None) {
            depth = std::max(depth, member.type->depth + 1);
            elementValues = member.type->minValues;
        }
        uint64_t count = 1;
        for (const ArrayDimension& dimension : member.dimensions) {
            // A count taken from a member may be 0 in any instance.
            count = SaturatingMultiply(count, dimension.fromMember ? 0 : dimension.constant);
        }
        minValues = SaturatingAdd(minValues, SaturatingMultiply(count, elementValues));
    }
    templ.depth = depth;
    templ.minValues = minValues;
}

const Template* TemplateSet::Find(std::string_view name) const {
    auto found = byName_.find(std::string(name));
    return found == byName_.end() ? nullptr : found->second;
}

HRESULT TemplateSet::Add(std::shared_ptr<const Template> templ) {
    if (const Template* known = Find(templ->name)) {
        return known->SameLayoutAs(*templ) ? S_OK : DXFILEERR_BADTYPE;
    }
    byName_.emplace(templ->name, templ.get());
    ordered_.push_back(std::move(templ));
    return S_OK;
}

} // namespace xfile
