#include "ffmpeg_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>

extern char** environ;

namespace capture {

namespace {

// How often a wait for the child asks whether to stop.
constexpr std::chrono::milliseconds STOP_CHECK{100};

} // namespace

std::string FindOnPath(const std::string& program) {
    if (program.find('/') != std::string::npos) {
        return access(program.c_str(), X_OK) == 0 ? program : "";
    }
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    size_t begin = 0;
    while (begin <= folders.size()) {
        size_t end = folders.find(':', begin);
        if (end == std::string::npos) {
            end = folders.size();
        }
        std::string folder = folders.substr(begin, end - begin);
        if (folder.empty()) {
            folder = ".";
        }
        const std::string candidate = folder + "/" + program;
        struct stat info {};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        begin = end + 1;
    }
    return "";
}

namespace {

// The argument vector posix_spawn takes: the strings' own characters, ended by a null pointer.
std::vector<char*> ArgumentPointers(const std::vector<std::string>& argv) {
    std::vector<char*> arguments;
    for (const std::string& argument : argv) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    return arguments;
}

// Both ends close on exec; a child gets the one it needs by a dup2 of its own.
bool OpenPipe(int ends[2], std::string* error) {
    if (pipe2(ends, O_CLOEXEC) != 0) {
        *error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace

bool ReadProgramOutput(const std::vector<std::string>& argv, std::chrono::milliseconds limit,
                       std::string* output, std::string* error) {
    int pipeEnds[2];
    if (!OpenPipe(pipeEnds, error)) {
        return false;
    }
    std::vector<char*> arguments = ArgumentPointers(argv);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    pid_t pid = -1;
    const int result =
        posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, arguments.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (result != 0) {
        close(pipeEnds[0]);
        *error = "cannot start " + argv[0] + ": " + std::strerror(result);
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + limit;
    bool late = false;
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd readable{pipeEnds[0], POLLIN, 0};
        const int ready = left.count() > 0 ? poll(&readable, 1, int(left.count())) : 0;
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            late = ready == 0;
            break;
        }
        const ssize_t got = read(pipeEnds[0], buffer, sizeof(buffer));
        if (got == 0 || (got < 0 && errno != EINTR)) {
            break;
        }
        output->append(buffer, size_t(std::max<ssize_t>(got, 0)));
    }
    close(pipeEnds[0]);
    if (late) {
        kill(pid, SIGKILL);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (late) {
        *error = argv[0] + " did not answer within " + DescribeSeconds(limit);
        return false;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        *error = argv[0] + " failed (" +
                 DescribeStatus(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)) +
                 ")";
        return false;
    }
    return true;
}

ChildProcess::~ChildProcess() {
    Kill();
}

bool ChildProcess::Start(const std::vector<std::string>& argv, std::string* error) {
    int pipeEnds[2];
    if (!OpenPipe(pipeEnds, error)) {
        return false;
    }
    std::vector<char*> arguments = ArgumentPointers(argv);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // dup2 onto 0 clears close-on-exec for the child's standard input only.
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
    const int result =
        posix_spawn(&pid_, argv[0].c_str(), &actions, nullptr, arguments.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[0]);
    if (result != 0) {
        pid_ = -1;
        close(pipeEnds[1]);
        *error = "cannot start " + argv[0] + ": " + std::strerror(result);
        return false;
    }
    input_ = pipeEnds[1];
    // Writes never block, so that a child that stops reading is noticed.
    fcntl(input_, F_SETFL, fcntl(input_, F_GETFL) | O_NONBLOCK);
    return true;
}

bool ChildProcess::ShouldStop() {
    stopped_ = stopped_ || (stop_ && stop_());
    return stopped_;
}

bool ChildProcess::WaitForRoom(Clock::time_point since) {
    for (;;) {
        const auto left = stallLimit_ - std::chrono::duration_cast<std::chrono::milliseconds>(
                                            Clock::now() - since);
        if (left.count() <= 0) {
            stuck_ = true;
            return false;
        }
        if (ShouldStop()) {
            return false;
        }
        pollfd input{input_, POLLOUT, 0};
        const int ready =
            poll(&input, 1, int(std::min<long long>(left.count(), STOP_CHECK.count())));
        if (ready > 0) {
            return true; // room, or the child has gone and the write will say so
        }
        if (ready < 0 && errno != EINTR) {
            return false;
        }
    }
}

bool ChildProcess::Write(const void* data, size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    Clock::time_point progress = Clock::now();
    while (size > 0 && input_ >= 0) {
        const ssize_t written = write(input_, bytes, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno == EAGAIN) {
                if (!WaitForRoom(progress)) {
                    Kill();
                    return false;
                }
                continue;
            }
            return false; // EPIPE: the child has gone (SIGPIPE is ignored by the tool)
        }
        bytes += written;
        size -= size_t(written);
        progress = Clock::now();
    }
    return size == 0;
}

int ChildProcess::Finish() {
    if (input_ >= 0) {
        close(input_);
        input_ = -1;
    }
    if (pid_ < 0) {
        return -1;
    }
    int status = 0;
    const Clock::time_point deadline = Clock::now() + stallLimit_;
    for (;;) {
        const pid_t ended = waitpid(pid_, &status, WNOHANG);
        if (ended == pid_ || (ended < 0 && errno != EINTR)) {
            break;
        }
        const bool late = Clock::now() >= deadline;
        if (late || ShouldStop()) {
            stuck_ = stuck_ || late;
            kill(pid_, SIGKILL);
            while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
            }
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

void ChildProcess::Kill() {
    if (pid_ >= 0) {
        kill(pid_, SIGKILL);
    }
    Finish();
}

std::string DescribeStatus(int status) {
    if (status > 128) {
        return "killed by signal " + std::to_string(status - 128);
    }
    return "exit status " + std::to_string(status);
}

std::string DescribeSeconds(std::chrono::milliseconds duration) {
    const long long ms = duration.count();
    std::string text = std::to_string(ms / 1000);
    if (ms % 1000 != 0) {
        std::string fraction = std::to_string(1000 + ms % 1000).substr(1);
        fraction.erase(fraction.find_last_not_of('0') + 1);
        text += "." + fraction;
    }
    return text + " s";
}

} // namespace capture
