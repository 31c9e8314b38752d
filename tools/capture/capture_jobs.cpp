#include "capture_jobs.h"

#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "ffmpeg_process.h"
#include "job_stream.h"

extern char** environ;

namespace capture {

namespace {

// The program itself, whatever it was started as.
constexpr const char* OWN_PROGRAM = "/proc/self/exe";
// A failed job's last words are its error: the end of what it wrote is enough.
constexpr size_t JOB_ERRORS_SHOWN = 4096;
constexpr int EXIT_INTERRUPTED = 130;

std::string Seconds(int64_t micros) {
    char text[40];
    std::snprintf(text, sizeof(text), "%lld.%06lld", static_cast<long long>(micros / 1000000),
                  static_cast<long long>(micros % 1000000));
    return text;
}

const char* DeviceWord(DeviceChoice device) {
    switch (device) {
    case DeviceChoice::SOFTWARE:
        return "software";
    case DeviceChoice::GPU:
        return "gpu";
    case DeviceChoice::NONE:
        return "none";
    case DeviceChoice::AUTO:
        break;
    }
    return "auto";
}

struct Job {
    pid_t pid = -1;
    int frames = -1; // the read end of its frame stream
    int errors = -1; // its standard error, kept in memory; -1 when it writes to ours
    int status = -1; // once ended: its exit status, or 128 + the signal
};

bool StartJob(const std::vector<std::string>& arguments, bool keepErrors, Job* job,
              std::string* error) {
    int stream[2];
    if (pipe2(stream, O_CLOEXEC) != 0) {
        *error = std::string("cannot make a pipe for a job: ") + std::strerror(errno);
        return false;
    }
    if (keepErrors) {
        job->errors = memfd_create("lumenfall-capture job errors", MFD_CLOEXEC);
    }
    std::vector<std::string> argv = {"lumenfall-capture"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (std::string& argument : argv) {
        pointers.push_back(argument.data());
    }
    pointers.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, stream[1], JOB_STREAM_FD);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (job->errors >= 0) {
        posix_spawn_file_actions_adddup2(&actions, job->errors, STDERR_FILENO);
    }
    const int result =
        posix_spawn(&job->pid, OWN_PROGRAM, &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(stream[1]);
    if (result != 0) {
        close(stream[0]);
        job->pid = -1;
        *error = std::string("cannot start a job: ") + std::strerror(result);
        return false;
    }
    job->frames = stream[0];
    return true;
}

void CloseStream(Job& job) {
    if (job.frames >= 0) {
        close(job.frames);
        job.frames = -1;
    }
}

int WaitJob(Job& job) {
    if (job.pid >= 0) {
        int raw = 0;
        while (waitpid(job.pid, &raw, 0) < 0 && errno == EINTR) {
        }
        job.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        job.pid = -1;
    }
    return job.status;
}

// Its stream closed under it, a job's next frame fails; the signal stops one that is drawing.
void StopJob(Job& job) {
    CloseStream(job);
    if (job.pid >= 0) {
        kill(job.pid, SIGTERM);
    }
}

std::string JobErrors(const Job& job) {
    if (job.errors < 0) {
        return "";
    }
    const off_t size = lseek(job.errors, 0, SEEK_END);
    const off_t from = std::max<off_t>(0, size - off_t(JOB_ERRORS_SHOWN));
    std::string text(size_t(size - from), '\0');
    const ssize_t got = pread(job.errors, text.data(), text.size(), from);
    text.resize(size_t(std::max<ssize_t>(got, 0)));
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

} // namespace

int AvailableProcessors() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof(set), &set) == 0 && CPU_COUNT(&set) > 0) {
        return CPU_COUNT(&set);
    }
    return int(std::max(1L, sysconf(_SC_NPROCESSORS_ONLN)));
}

int JobCount(const CaptureOptions& options, DeviceChoice device, int processors, uint64_t frames) {
    int count = options.jobs.value_or(device == DeviceChoice::SOFTWARE ? processors : 1);
    if (options.atMicros || options.outputKind == OutputKind::JOB_STREAM) {
        count = 1;
    }
    count = int(std::min<uint64_t>(uint64_t(std::max(count, 1)), std::max<uint64_t>(frames, 1)));
    return std::clamp(count, 1, MAX_JOBS);
}

std::vector<std::string> JobArguments(const CaptureOptions& options, JobPart part,
                                      DeviceChoice device) {
    std::vector<std::string> arguments = {
        "--job",
        std::to_string(part.index) + "/" + std::to_string(part.count),
        "-q",
        "--device",
        DeviceWord(device),
        "--fps",
        std::to_string(options.rate.num) + "/" + std::to_string(options.rate.den),
        "--size",
        options.outputWidth > 0
            ? std::to_string(options.outputWidth) + "x" + std::to_string(options.outputHeight)
            : std::to_string(options.width) + "x" + std::to_string(options.height),
        "--depth",
        std::to_string(options.depth),
        "--start",
        Seconds(options.startMicros),
        "--blur",
        std::to_string(options.blur)};
    // The picture options as they were resolved (a look is only their presets).
    const host::PresentationOptions& picture = options.presentation;
    arguments.insert(
        arguments.end(),
        {"--internal",
         picture.internal.native ? "native" : std::to_string(picture.internal.scale) + "x",
         "--msaa", picture.samples > 1 ? std::to_string(picture.samples) : "off", "--colour",
         picture.trueColour ? "32" : "mode"});
    if (options.endMicros) {
        arguments.insert(arguments.end(), {"--end", Seconds(*options.endMicros)});
    }
    if (options.verbose) {
        arguments.push_back("-v");
    }
    return arguments;
}

JobsOutcome RunJobs(const CaptureOptions& options, int count, DeviceChoice device,
                    FrameQueue& queue, const std::function<bool()>& interrupted,
                    const std::function<void()>& progress) {
    JobsOutcome outcome;
    std::vector<Job> jobs(static_cast<size_t>(count));
    for (int j = 0; j < count && outcome.status == JobsOutcome::Status::DONE; ++j) {
        if (!StartJob(JobArguments(options, JobPart{j, count}, device), !options.verbose,
                      &jobs[size_t(j)], &outcome.failure)) {
            outcome.status = JobsOutcome::Status::FAILED;
        }
    }

    // The frames, one from each job in turn.
    const uint64_t expected = options.Plan().ExpectedFrames();
    bool allRead = outcome.status == JobsOutcome::Status::DONE;
    for (uint64_t k = 0; k < expected && allRead; ++k) {
        const int j = int(k % uint64_t(count));
        Job& job = jobs[size_t(j)];
        Frame* frame = queue.Acquire();
        if (frame == nullptr) {
            allRead = false; // the writer failed; the queue says why
            break;
        }
        std::string error;
        const JobStreamReader::Result result =
            JobStreamReader(job.frames).Read(frame, interrupted, &error);
        if (result == JobStreamReader::Result::FRAME) {
            frame->number = k + 1;
            queue.Submit(frame);
            ++outcome.frames;
            progress();
            continue;
        }
        queue.Release(frame);
        allRead = false;
        if (result == JobStreamReader::Result::STOPPED) {
            outcome.status = JobsOutcome::Status::INTERRUPTED;
        } else if (result == JobStreamReader::Result::END && WaitJob(job) == 0) {
            break; // the program ended the show before the plan did
        } else if (job.status == EXIT_INTERRUPTED) {
            outcome.status = JobsOutcome::Status::INTERRUPTED;
        } else {
            outcome.status = JobsOutcome::Status::FAILED;
            const std::string words = JobErrors(job);
            outcome.failure = result == JobStreamReader::Result::BROKEN
                                  ? error
                                  : "job " + std::to_string(j + 1) + " of " +
                                        std::to_string(count) + " failed (" +
                                        DescribeStatus(job.status) + ")" +
                                        (words.empty() ? "" : ":\n" + words);
        }
    }

    // Jobs that drew all their frames end by themselves; the others are stopped.
    const bool complete = allRead;
    for (Job& job : jobs) {
        if (!complete) {
            StopJob(job);
        }
    }
    for (size_t j = 0; j < jobs.size(); ++j) {
        Job& job = jobs[j];
        CloseStream(job);
        const int status = WaitJob(job);
        if (complete && status != 0 && outcome.status == JobsOutcome::Status::DONE) {
            const std::string words = JobErrors(job);
            outcome.status = status == EXIT_INTERRUPTED ? JobsOutcome::Status::INTERRUPTED
                                                        : JobsOutcome::Status::FAILED;
            outcome.failure = "job " + std::to_string(j + 1) + " of " + std::to_string(count) +
                              " failed at its end (" + DescribeStatus(status) + ")" +
                              (words.empty() ? "" : ":\n" + words);
        }
        if (job.errors >= 0) {
            close(job.errors);
        }
    }
    if (interrupted()) {
        outcome.status = JobsOutcome::Status::INTERRUPTED;
    }
    return outcome;
}

} // namespace capture
