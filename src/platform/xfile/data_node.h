// A parsed data object: its template, name, GUID, the member data laid out for GetData, the
// strings that data points at, and its children (nested objects and references) in file order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/xfile/template_set.h"

namespace xfile {

struct DataNode;

// A child written as "{ name }", "{ <GUID> }" or "{ name <GUID> }". It may name only objects
// completed before it: visibleObjects is how many objects of the file had been completed when
// the reference was read.
struct DataReference {
    std::string name;
    GUID guid{};
    bool hasGuid = false;
    size_t visibleObjects = 0;
};

using DataChild = std::variant<std::unique_ptr<DataNode>, DataReference>;

struct DataNode {
    const Template* templ = nullptr;
    std::string name;
    GUID guid{};
    bool hasGuid = false;
    // Packed member values; see GetData in dxfile.h.
    std::vector<uint8_t> data;
    // Where each top-level member starts in data, plus the end: members + 1 entries.
    std::vector<uint32_t> memberOffsets;
    // Text of STRING members; data holds pointers into these.
    std::vector<std::unique_ptr<char[]>> strings;
    std::vector<DataChild> children;
};

} // namespace xfile
