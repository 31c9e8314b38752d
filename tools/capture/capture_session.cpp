#include "capture_session.h"

#include <atomic>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "capture_drivers.h"
#include "capture_host.h"
#include "capture_jobs.h"
#include "demo/demo_app.h"
#include "frame_placement.h"
#include "frame_writer.h"
#include "motion_blur.h"
#include "platform/host/drivers.h"
#include "platform/host/presentation.h"
#include "platform/host/presentation_options.h"
#include "platform/win32/kernel.h"
#include "platform/win32/user.h"
#include "progress_bar.h"
#include "stop_signals.h"
#include "texture/texture_store.h"

namespace capture {

namespace {

constexpr int EXIT_DONE = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_INTERRUPTED = 130;
// Frames in flight beyond one per encoder: the program draws the next frame while the
// encoders are busy, and a short queue smooths the scenes' changing cost.
constexpr size_t SPARE_FRAME_BUFFERS = 2;
constexpr const char* FILE_NOT_FOUND = "File not found.";

void Report(const std::string& message) {
    std::fprintf(stderr, "lumenfall-capture: %s\n", message.c_str());
}

// The last few lines of the program's debug output, to say why a device or the program failed.
std::string LastLines(const std::string& text, int lines) {
    size_t end = text.size();
    while (end > 0 && text[end - 1] == '\n') {
        --end;
    }
    size_t begin = end;
    for (int found = 0; begin > 0 && found < lines; --begin) {
        if (text[begin - 1] == '\n' && ++found == lines) {
            break;
        }
    }
    return text.substr(begin, end - begin);
}

std::string MediaFolder() {
    std::string path = GetMediaPath();
    for (char& c : path) {
        c = c == '\\' ? '/' : c;
    }
    return path.empty() ? "(no media folder in the registry)" : path;
}

// Ends a capture that cannot finish: its incomplete output is removed. A stop signal that came
// meanwhile is the reason, whatever failed after it: Ctrl-C reaches ffmpeg and the jobs too, and
// their failure is its doing.
int EndEarly(FrameWriter& writer, const std::string& failure, uint64_t written) {
    writer.Abandon();
    if (StopRequested()) {
        Report("interrupted after " + CountOf(written, "frame", "frames"));
        return EXIT_INTERRUPTED;
    }
    Report(failure);
    return EXIT_FAILED;
}

// Runs the encoders: each takes frames from the queue until it closes.
class Encoders {
public:
    Encoders(FrameQueue& queue, FrameWriter& writer) : queue_(queue), writer_(writer) {
        for (int i = 0; i < writer.EncoderThreads(); ++i) {
            threads_.emplace_back([this] { Loop(); });
        }
    }
    ~Encoders() { Join(); }

    void Join() {
        queue_.Close();
        for (std::thread& thread : threads_) {
            if (thread.joinable()) {
                thread.join();
            }
        }
    }
    uint64_t Written() const { return written_.load(); }

private:
    void Loop() {
        while (Frame* frame = queue_.Take()) {
            std::string error;
            const bool written = writer_.Write(*frame, &error);
            queue_.Release(frame);
            if (!written) {
                queue_.Fail(error);
                return;
            }
            ++written_;
        }
    }

    FrameQueue& queue_;
    FrameWriter& writer_;
    std::vector<std::thread> threads_;
    std::atomic<uint64_t> written_{0};
};

// The frame sink: keeps the frames the schedule keeps, moves the clock, and asks the program to
// close its window once the capture has all it wants (or must stop).
class FrameCollector {
public:
    FrameCollector(FrameSchedule& schedule, FrameQueue& queue, const CaptureOptions& options,
                   ProgressBar& progress, const Encoders& encoders)
        : schedule_(schedule), queue_(queue), options_(options), progress_(progress),
          encoders_(encoders) {}

    void OnPresented(const host::PresentedFrame& presented) {
        if (stopping_) {
            return;
        }
        if (schedule_.FramePresented()) {
            Keep(presented, schedule_.FrameCompleted());
        }
        progress_.Update(encoders_.Written());
        if (schedule_.Complete() || queue_.Failed() || StopRequested() || !problem.empty()) {
            // As Escape would: the window closes and the program ends through WM_DESTROY.
            stopping_ = true;
            PostMessageA(presented.window, WM_CLOSE, 0, 0);
        }
    }

    std::string problem; // a frame that could not be taken

private:
    // A kept frame, or one of its sub-frames (`completed`: the last).
    void Keep(const host::PresentedFrame& presented, bool completed) {
        if (presented.width != options_.PictureWidth() ||
            presented.height != options_.PictureHeight()) {
            problem = "the program presented a " + std::to_string(presented.width) + "x" +
                      std::to_string(presented.height) + " picture where a " +
                      std::to_string(options_.PictureWidth()) + "x" +
                      std::to_string(options_.PictureHeight()) + " one was expected";
            return;
        }
        if (options_.blur > 1) {
            blur_.Add(presented.rgba, presented.width, presented.height, presented.pitch);
        }
        if (!completed) {
            return;
        }
        Frame* frame = queue_.Acquire(); // waits while the encoders are behind
        if (frame == nullptr) {
            return;
        }
        frame->number = schedule_.KeptFrames();
        frame->width = options_.FrameWidth();
        frame->height = options_.FrameHeight();
        if (options_.blur > 1) {
            blur_.TakeAverage(&average_);
            PutPictureInFrame(average_.rgba.data(), average_.width, average_.height,
                              average_.width * 4, frame);
        } else {
            PutPictureInFrame(presented.rgba, presented.width, presented.height, presented.pitch,
                              frame);
        }
        queue_.Submit(frame);
    }

    FrameSchedule& schedule_;
    FrameQueue& queue_;
    const CaptureOptions& options_;
    ProgressBar& progress_;
    const Encoders& encoders_;
    SubFrameSum blur_;
    Frame average_; // the blurred picture, before it is put in its frame
    bool stopping_ = false;
};

// Why the program drew nothing or stopped: its message boxes and its last debug lines.
std::string ProgramFailure(const CaptureHost& host) {
    int missing = 0;
    for (const std::string& box : host.MessageBoxes()) {
        missing += box.find(FILE_NOT_FOUND) != std::string::npos ? 1 : 0;
    }
    if (missing > 0) {
        // The program's box says "File not found." for a file it could not read, too.
        return "missing media: " + std::to_string(missing) + " of the program's files " +
               (missing == 1 ? "was" : "were") +
               " not found or could not be read (it looks in the working directory, then in " +
               MediaFolder() + ")";
    }
    if (!host.DialogProblem().empty()) {
        return host.DialogProblem();
    }
    std::string reason =
        host.MessageBoxes().empty()
            ? "the program ended without drawing its frames"
            : "the program could not draw (it said: \"" + host.MessageBoxes().front() + "\")";
    const std::string debug = LastLines(host.DebugOutput(), 3);
    return debug.empty() ? reason : reason + "; its last debug output:\n" + debug;
}

// Draws the capture's frames in this process: the program runs here, and its presented frames
// go to the queue. "" or why the program failed.
std::string DrawHere(const CaptureOptions& options, CaptureDevice& device, FrameSchedule& schedule,
                     FrameQueue& queue, ProgressBar& progress, Encoders& encoders,
                     std::string* problem) {
    FrameCollector collector(schedule, queue, options, progress, encoders);
    RegisterCaptureResources();
    CaptureHost host(schedule, options, std::move(device.drivers));
    host::SetFrameSink(
        [&collector](const host::PresentedFrame& frame) { collector.OnPresented(frame); });
    char commandLine[] = "";
    WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
    host::SetFrameSink(nullptr);
    encoders.Join();
    *problem = collector.problem;
    if (!StopRequested() && !queue.Failed() && collector.problem.empty() &&
        (schedule.KeptFrames() == 0 || !host.MessageBoxes().empty() ||
         !host.DialogProblem().empty())) {
        return ProgramFailure(host);
    }
    return "";
}

} // namespace

int RunCapture(const CaptureOptions& options) {
    // Before the output exists: a signal while the device starts must not leave it behind.
    StopSignals signals;
    // Before the device is built: its texture formats follow the options.
    host::SetPresentationOptions(options.presentation);
    std::unique_ptr<FrameWriter> writer = MakeFrameWriter(options);
    std::string error;
    if (!writer->Open(&error)) {
        return EndEarly(*writer, error, 0);
    }
    CaptureDevice device = BuildCaptureDevice(options.device);
    if (device.drivers.empty() || StopRequested()) {
        // Stopped while the device started: the program is not started only to be closed.
        return EndEarly(*writer, device.failure, 0);
    }

    const CapturePlan plan = options.Plan();
    FrameSchedule schedule(plan);
    FrameQueue queue(size_t(writer->EncoderThreads()) + SPARE_FRAME_BUFFERS);
    ProgressBar progress(plan.ExpectedFrames(), !options.quiet);
    Encoders encoders(queue, *writer);
    const int jobs = JobCount(options, device.kind, AvailableProcessors(), plan.ExpectedFrames());

    std::string failure, problem;
    uint64_t kept = 0;
    if (jobs > 1) {
        const JobsOutcome outcome = RunJobs(
            options, jobs, device.kind, queue, [] { return StopRequested(); },
            [&] { progress.Update(encoders.Written()); });
        encoders.Join();
        kept = outcome.frames;
        if (outcome.status == JobsOutcome::Status::FAILED) {
            failure = outcome.failure;
        } else if (outcome.status == JobsOutcome::Status::INTERRUPTED) {
            failure = "a job was stopped by a signal";
        }
    } else {
        failure = DrawHere(options, device, schedule, queue, progress, encoders, &problem);
        kept = schedule.KeptFrames();
    }

    if (StopRequested() || queue.Failed() || !problem.empty() || !failure.empty()) {
        progress.Clear();
        return EndEarly(*writer,
                        queue.Failed()     ? queue.FailureReason()
                        : !problem.empty() ? problem
                                           : failure,
                        encoders.Written());
    }
    if (!writer->Finish(&error)) {
        progress.Clear();
        return EndEarly(*writer, error, encoders.Written());
    }
    progress.Finish(kept);
    if (options.outputKind == OutputKind::NONE) {
        std::printf("%s\n", CountOf(kept, "frame", "frames").c_str());
    } else if (!options.quiet && isatty(2)) {
        std::fprintf(stderr, "wrote %s on %s%s\n", writer->Describe(kept).c_str(),
                     device.name.c_str(),
                     jobs > 1 ? (" in " + std::to_string(jobs) + " jobs").c_str() : "");
    }
    return EXIT_DONE;
}

} // namespace capture
