#include "ffmpeg_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace capture {

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

ChildProcess::~ChildProcess() {
    Kill();
}

bool ChildProcess::Start(const std::vector<std::string>& argv, std::string* error) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        *error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }
    std::vector<char*> arguments;
    for (const std::string& argument : argv) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);

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
    return true;
}

bool ChildProcess::Write(const void* data, size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0 && input_ >= 0) {
        const ssize_t written = write(input_, bytes, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false; // EPIPE: the child has gone (SIGPIPE is ignored by the tool)
        }
        bytes += written;
        size -= size_t(written);
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
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
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

} // namespace capture
