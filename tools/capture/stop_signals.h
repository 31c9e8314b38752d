// The signals that end a capture early: Ctrl-C, a request to stop, a closed terminal and Ctrl-\.
// While a StopSignals guard lives they only set a flag, which the drawing, the jobs and the
// writers look at, so that the capture ends cleanly: no partial video, no job left running.
#pragma once

#include <signal.h>

#include <iterator>

namespace capture {

class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    static constexpr int STOP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
    struct sigaction previousStop_[std::size(STOP_SIGNALS)]{};
    struct sigaction previousPipe_ {};
};

// A stop signal came since the guard was made.
bool StopRequested();

} // namespace capture
