// The ffmpeg program as a child process whose standard input is a pipe from us.
//
// A child that stops taking input, or does not end once its input has ended, for longer than
// the stall limit is taken for stuck: it is killed and the call fails, instead of waiting for
// it forever.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace capture {

// The full path of `program` found on PATH, or "" when it is not there.
std::string FindOnPath(const std::string& program);

// Runs argv (argv[0] a path) to its end and gives its standard output; false with the reason when
// it cannot start, fails, or runs longer than `limit` (it is then killed).
bool ReadProgramOutput(const std::vector<std::string>& argv, std::chrono::milliseconds limit,
                       std::string* output, std::string* error);

class ChildProcess {
public:
    explicit ChildProcess(std::chrono::milliseconds stallLimit) : stallLimit_(stallLimit) {}
    ~ChildProcess(); // kills a child still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // While the child is waited for (room in its input, or its end), `stop` is asked now and
    // then; when it says so, the child is killed and the call fails.
    void StopWhen(std::function<bool()> stop) { stop_ = std::move(stop); }
    // argv[0] is the program's path. Its standard output and error are ours.
    bool Start(const std::vector<std::string>& argv, std::string* error);
    // All of `size` bytes into the child's standard input. False when the child has gone or is
    // stuck.
    bool Write(const void* data, size_t size);
    // Ends the input and waits: the exit status, or 128 + the signal that ended it (a stuck or
    // stopped child is killed with SIGKILL).
    int Finish();
    // Stops the child at once and waits for it.
    void Kill();
    // The child was killed for taking nothing, or not ending, within the stall limit.
    bool Stuck() const { return stuck_; }
    // The child was killed because StopWhen's predicate said so.
    bool Stopped() const { return stopped_; }
    std::chrono::milliseconds StallLimit() const { return stallLimit_; }

private:
    using Clock = std::chrono::steady_clock;
    // Waits until the input takes more bytes; false when the limit passes since `since` or the
    // stop predicate says so.
    bool WaitForRoom(Clock::time_point since);
    bool ShouldStop();

    std::chrono::milliseconds stallLimit_;
    pid_t pid_ = -1;
    int input_ = -1;
    bool stuck_ = false;
    bool stopped_ = false;
    std::function<bool()> stop_;
};

// Why a child ended: "exit status 1", "killed by signal 9".
std::string DescribeStatus(int status);
// "60 s", "0.3 s".
std::string DescribeSeconds(std::chrono::milliseconds duration);

} // namespace capture
