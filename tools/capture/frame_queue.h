// Frames on their way from the program's thread to the encoders: a fixed pool of frame buffers
// and a queue of filled ones. The program's thread waits for a free buffer when every buffer is
// full or being encoded, so memory stays bounded however slow the encoder is; an encoder that
// fails stops the flow, and the waiting side is woken to hear of it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace capture {

// One frame: top row first, 4 bytes a pixel (red, green, blue, alpha), rows packed.
struct Frame {
    uint64_t number = 0; // 1 for the first kept frame
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

class FrameQueue {
public:
    explicit FrameQueue(size_t buffers);
    FrameQueue(const FrameQueue&) = delete;
    FrameQueue& operator=(const FrameQueue&) = delete;

    // Producer. A free buffer, waiting for one if need be; null once the queue has failed.
    Frame* Acquire();
    void Submit(Frame* frame);
    // No more frames will come; encoders drain the queue and stop.
    void Close();

    // Encoders. The oldest filled frame, waiting for one; null when the queue is closed and
    // empty, or has failed.
    Frame* Take();
    void Release(Frame* frame);
    // Stops the flow with a reason (the first one is kept).
    void Fail(const std::string& reason);

    bool Failed() const;
    std::string FailureReason() const;
    size_t Buffers() const { return frames_.size(); }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Frame> frames_;
    std::vector<Frame*> free_;
    std::deque<Frame*> filled_;
    bool closed_ = false;
    bool failed_ = false;
    std::string reason_;
};

} // namespace capture
