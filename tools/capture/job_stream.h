// The frames of a job, from its process to the tool that joins the jobs: each frame a 16-byte
// header ("LFJ1", width, height, 0 as little-endian 32-bit numbers) and its RGBA rows, through a
// pipe. Nothing else goes down the pipe, so the joining side can check every frame it reads.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "capture_options.h"
#include "frame_queue.h"

namespace capture {

class FrameWriter;

// The job's side: writes the kept frames to JOB_STREAM_FD.
std::unique_ptr<FrameWriter> MakeJobStreamWriter();

// The joining side: reads one job's frames from `fd`.
class JobStreamReader {
public:
    explicit JobStreamReader(int fd) : fd_(fd) {}

    enum class Result { FRAME, END, STOPPED, BROKEN };
    // The next frame into `frame` (its size and pixels). END when the stream ends between
    // frames; BROKEN (with the reason) inside one or on a header that is not one; STOPPED when
    // `stop` says so, which is asked before every read and while no data comes.
    Result Read(Frame* frame, const std::function<bool()>& stop, std::string* error);

private:
    // All of `size` bytes; false at the stream's end or on `stop`.
    bool ReadAll(void* data, size_t size, const std::function<bool()>& stop, size_t* got);

    int fd_;
};

} // namespace capture
