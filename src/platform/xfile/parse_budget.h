// Counts what one file's parse has allocated against xfile::MAX_PARSED_BYTES.
#pragma once

#include <cstdint>

#include "platform/xfile/xfile_limits.h"

namespace xfile {

class ParseBudget {
public:
    explicit ParseBudget(uint64_t limit = MAX_PARSED_BYTES) : limit_(limit) {}

    // False when the charge would pass the limit; nothing is charged then.
    bool Charge(uint64_t bytes) {
        if (bytes > limit_ - used_) {
            return false;
        }
        used_ += bytes;
        return true;
    }
    uint64_t Used() const { return used_; }

private:
    uint64_t limit_;
    uint64_t used_ = 0;
};

} // namespace xfile
