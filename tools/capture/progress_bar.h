// The progress line on the terminal: frames done of all, frames a second, time left. It is
// drawn on standard error only when that is a terminal, and at most a few times a second.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace capture {

// The line for `done` of `total` frames at `perSecond`, fitted to `columns`.
std::string FormatProgress(uint64_t done, uint64_t total, double perSecond, int columns);
// "1:05" or "1:02:05".
std::string FormatDuration(double seconds);
// "1 frame", "2 frames": the count with the noun that fits it.
std::string CountOf(uint64_t count, const std::string& one, const std::string& many);

class ProgressBar {
public:
    ProgressBar(uint64_t total, bool enabled);
    // The count of frames done; redraws when enough time has passed.
    void Update(uint64_t done);
    // Leaves the last state on its line and moves to the next.
    void Finish(uint64_t done);
    // Clears the line (before an error message is printed under it).
    void Clear();
    // Frames a second over the whole run so far.
    double AverageRate(uint64_t done) const;

private:
    using Clock = std::chrono::steady_clock;
    void Draw(uint64_t done);

    uint64_t total_;
    bool enabled_;
    bool drawn_ = false;
    Clock::time_point start_;
    Clock::time_point lastDraw_;
    // The recent rate: frames and time at the last few seconds' mark.
    uint64_t windowFrames_ = 0;
    Clock::time_point windowStart_;
    double recentRate_ = 0.0;
};

} // namespace capture
