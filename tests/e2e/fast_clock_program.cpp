// The demo's own WinMain on a faster clock, so that an end-to-end test can watch the whole show
// end by itself in a few seconds instead of two minutes. The demo takes no options; this runner
// reads one of its own: the factor by which its clock runs fast (default 20), and hands the demo
// an empty command line.
#include <cstdlib>
#include <ctime>

#include "demo/demo_app.h"
#include "platform/desktop/program.h"
#include "platform/host/host.h"
#include "resources/program_resources.h"

namespace {

// Monotonic milliseconds times the factor, wrapping at 2^32 like the real counter.
class FastClock final : public host::ClockSource {
public:
    explicit FastClock(unsigned factor) : factor_(factor) {}
    DWORD Milliseconds() override {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u +
                            static_cast<uint64_t>(now.tv_nsec) / 1000000u;
        return static_cast<DWORD>(ms * factor_);
    }

private:
    uint64_t factor_;
};

} // namespace

int main(int argc, char** argv) {
    unsigned factor = 20;
    if (argc > 1) {
        const long parsed = std::strtol(argv[1], nullptr, 10);
        if (parsed < 1 || parsed > 1000) {
            return 2;
        }
        factor = static_cast<unsigned>(parsed);
    }
    FastClock clock(factor);
    host::SetClock(&clock);
    RegisterProgramResources();
    const int result = desktop::RunDesktopProgram(1, argv, WinMain);
    host::SetClock(nullptr);
    return result;
}
