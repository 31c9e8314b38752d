#include "platform/xfile/object_index.h"

#include <algorithm>

namespace xfile {

std::string ObjectIndex::GuidKey(const GUID& guid) {
    return std::string(reinterpret_cast<const char*>(&guid), sizeof guid);
}

void ObjectIndex::Add(const DataNode& node) {
    size_t sequence = completed_.size();
    completed_.push_back(&node);
    if (!node.name.empty()) {
        byName_[node.name].push_back(sequence);
    }
    if (node.hasGuid) {
        byGuid_[GuidKey(node.guid)].push_back(sequence);
    }
}

void ObjectIndex::TruncateTo(size_t count) {
    // The forgotten objects are already destroyed, so their entries are found by sequence alone.
    // Each list is ascending; this runs at most once per file, when its parse fails.
    for (auto* map : {&byName_, &byGuid_}) {
        for (auto it = map->begin(); it != map->end();) {
            std::vector<size_t>& sequences = it->second;
            while (!sequences.empty() && sequences.back() >= count) {
                sequences.pop_back();
            }
            it = sequences.empty() ? map->erase(it) : std::next(it);
        }
    }
    completed_.resize(std::min(count, completed_.size()));
}

const DataNode* ObjectIndex::Find(const DataReference& reference) const {
    const std::vector<size_t>* candidates = nullptr;
    if (reference.hasGuid) {
        auto found = byGuid_.find(GuidKey(reference.guid));
        candidates = found == byGuid_.end() ? nullptr : &found->second;
    } else if (!reference.name.empty()) {
        auto found = byName_.find(reference.name);
        candidates = found == byName_.end() ? nullptr : &found->second;
    }
    if (candidates == nullptr) {
        return nullptr;
    }
    // Sequences are ascending; start at the last one the reference can see.
    auto end = std::lower_bound(candidates->begin(), candidates->end(), reference.visibleObjects);
    for (auto it = end; it != candidates->begin();) {
        const DataNode* node = completed_[*--it];
        if (reference.name.empty() || node->name == reference.name) {
            return node;
        }
    }
    return nullptr;
}

} // namespace xfile
