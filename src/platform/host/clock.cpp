// The clock behind timeGetTime: monotonic milliseconds unless a test or tool installs its own.
#include <ctime>

#include "platform/host/host.h"

namespace host {

namespace {

// Milliseconds of CLOCK_MONOTONIC, kept to 32 bits: the counter wraps after 49.7 days, as the
// platform's does, and the program's unsigned differences are made for that.
class MonotonicClock final : public ClockSource {
public:
    DWORD Milliseconds() override {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u +
                      static_cast<uint64_t>(now.tv_nsec) / 1000000u;
        return static_cast<DWORD>(ms);
    }
};

MonotonicClock monotonicClock;
ClockSource* currentClock = &monotonicClock;

} // namespace

void SetClock(ClockSource* clock) {
    currentClock = clock != nullptr ? clock : &monotonicClock;
}

ClockSource& Clock() {
    return *currentClock;
}

} // namespace host
