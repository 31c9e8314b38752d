// The objects of one file in the order they were completed (their closing brace read), by name
// and by GUID, for resolving references. A reference sees only objects completed before it, so
// an object can never resolve to itself or to an object that encloses it.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/xfile/data_node.h"

namespace xfile {

class ObjectIndex {
public:
    void Add(const DataNode& node);
    size_t Completed() const { return completed_.size(); }
    // Forgets the objects completed after the first `count`: those of an object that failed
    // half-way and was thrown away.
    void TruncateTo(size_t count);
    // The latest object completed before the reference was read that matches its name, its
    // GUID, or both when it gives both; null when there is none.
    const DataNode* Find(const DataReference& reference) const;

private:
    static std::string GuidKey(const GUID& guid);

    std::vector<const DataNode*> completed_;
    std::unordered_map<std::string, std::vector<size_t>> byName_;
    std::unordered_map<std::string, std::vector<size_t>> byGuid_;
};

} // namespace xfile
