#include "frame_queue.h"

namespace capture {

FrameQueue::FrameQueue(size_t buffers) : frames_(buffers > 0 ? buffers : 1) {
    for (Frame& frame : frames_) {
        free_.push_back(&frame);
    }
}

Frame* FrameQueue::Acquire() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return failed_ || !free_.empty(); });
    if (failed_) {
        return nullptr;
    }
    Frame* frame = free_.back();
    free_.pop_back();
    return frame;
}

void FrameQueue::Submit(Frame* frame) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        filled_.push_back(frame);
    }
    changed_.notify_all();
}

void FrameQueue::Close() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

Frame* FrameQueue::Take() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return failed_ || !filled_.empty() || closed_; });
    if (failed_ || filled_.empty()) {
        return nullptr;
    }
    Frame* frame = filled_.front();
    filled_.pop_front();
    return frame;
}

void FrameQueue::Release(Frame* frame) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        free_.push_back(frame);
    }
    changed_.notify_all();
}

void FrameQueue::Fail(const std::string& reason) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!failed_) {
            failed_ = true;
            reason_ = reason;
        }
    }
    changed_.notify_all();
}

bool FrameQueue::Failed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return failed_;
}

std::string FrameQueue::FailureReason() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return reason_;
}

} // namespace capture
