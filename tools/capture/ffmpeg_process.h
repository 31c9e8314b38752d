// The ffmpeg program as a child process whose standard input is a pipe from us.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace capture {

// The full path of `program` found on PATH, or "" when it is not there.
std::string FindOnPath(const std::string& program);

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess(); // kills a child still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // argv[0] is the program's path. Its standard output and error are ours.
    bool Start(const std::vector<std::string>& argv, std::string* error);
    // All of `size` bytes into the child's standard input. False when the child has gone.
    bool Write(const void* data, size_t size);
    // Ends the input and waits: the exit status, or 128 + the signal that ended it.
    int Finish();
    // Stops the child at once and waits for it.
    void Kill();

private:
    pid_t pid_ = -1;
    int input_ = -1;
};

// Why a child ended: "exit status 1", "killed by signal 9".
std::string DescribeStatus(int status);

} // namespace capture
