// A capture in several processes. The show's frames are a function of their time alone, so job
// j of n draws every n-th kept frame from the j-th (CapturePlan::JobPart) in a process of its own
// (this program again, with --job j/n), and the tool that started them takes one frame from each
// in turn: the frames arrive in order, as one job would have drawn them, and each job is at most
// a frame or two ahead of the writing. Each job starts the program as a capture does, with its
// own lead-in frame, so every frame is drawn as in a single job, pixel for pixel.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "capture_options.h"
#include "frame_queue.h"

namespace capture {

// The jobs a capture runs: --jobs, or as many as help: one per processor for the software
// rasteriser, one on a GPU (it draws far faster than the frames are written) and where nothing
// is drawn; never more than there are frames.
int JobCount(const CaptureOptions& options, DeviceChoice device, int processors, uint64_t frames);
// The processors this process may run on.
int AvailableProcessors();

// The command line of job `part` (without the program), drawing on `device` (not AUTO: every
// job must draw on the one device the tool chose).
std::vector<std::string> JobArguments(const CaptureOptions& options, JobPart part,
                                      DeviceChoice device);

struct JobsOutcome {
    enum class Status { DONE, INTERRUPTED, FAILED } status = Status::DONE;
    std::string failure; // for FAILED: why, with the failed job's own words
    uint64_t frames = 0; // frames submitted to the queue
};

// Starts `count` jobs and submits their frames to `queue` in order, numbered from 1, until the
// plan is complete, a job fails, or `interrupted` says so; every job has ended when it returns.
// `progress` hears of each frame submitted.
JobsOutcome RunJobs(const CaptureOptions& options, int count, DeviceChoice device,
                    FrameQueue& queue, const std::function<bool()>& interrupted,
                    const std::function<void()>& progress);

} // namespace capture
