#include "stop_signals.h"

#include <csignal>
#include <iterator>

namespace capture {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnStopSignal(int) {
    stopRequested = 1;
}

} // namespace

StopSignals::StopSignals() {
    stopRequested = 0;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < std::size(STOP_SIGNALS); ++i) {
        sigaction(STOP_SIGNALS[i], nullptr, &previousStop_[i]);
        // A signal ignored from the start stays ignored: nohup's hangup, and Ctrl-C for a
        // capture a script left running in the background, are not meant for it.
        if (previousStop_[i].sa_handler != SIG_IGN) {
            sigaction(STOP_SIGNALS[i], &action, nullptr);
        }
    }
    // A dead ffmpeg or a closed job stream shows up as a failed write rather than killing the
    // tool.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &previousPipe_);
}

StopSignals::~StopSignals() {
    for (size_t i = 0; i < std::size(STOP_SIGNALS); ++i) {
        sigaction(STOP_SIGNALS[i], &previousStop_[i], nullptr);
    }
    sigaction(SIGPIPE, &previousPipe_, nullptr);
}

bool StopRequested() {
    return stopRequested != 0;
}

} // namespace capture
