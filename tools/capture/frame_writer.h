// Where captured frames go: a folder of numbered PNG files, one PNG file, one video through
// ffmpeg, or nowhere. Open and Finish run on the tool's own thread; Write runs on the encoder
// threads, as many at once as EncoderThreads says (one keeps the frames in order).
#pragma once

#include <memory>
#include <string>

#include "capture_options.h"
#include "frame_queue.h"

namespace capture {

class FrameWriter {
public:
    virtual ~FrameWriter() = default;
    // Checks and prepares the output before anything is drawn: a clear error now rather than
    // after minutes of rendering.
    virtual bool Open(std::string* error) = 0;
    virtual bool Write(const Frame& frame, std::string* error) = 0;
    // Every frame is written: the output is put in place.
    virtual bool Finish(std::string* error) = 0;
    // The capture failed or was interrupted: whatever is incomplete is removed.
    virtual void Abandon() = 0;
    virtual int EncoderThreads() const = 0;
    // "42 PNG files in frames/", for the closing line.
    virtual std::string Describe(uint64_t frames) const = 0;
};

std::unique_ptr<FrameWriter> MakeFrameWriter(const CaptureOptions& options);

// The name of frame `number` in a folder: frame_000001.png, ...
std::string FrameFileName(uint64_t number);

} // namespace capture
