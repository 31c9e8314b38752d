// Frame rates, moments of the show, and which frames a capture takes.
//
// Frame n of a capture at num/den frames a second lies at the exact time n * den / num seconds;
// the clock behind timeGetTime then reads the whole milliseconds of that time,
// floor(n * 1000 * den / num). Each frame's milliseconds come from its own index, never from a
// sum of rounded steps, so no rate drifts over the show: at 60000/1001 frame 60000 is at exactly
// 1001000 ms. The program turns the milliseconds into seconds in single precision (ms * 0.001f)
// and ends the show after the first frame whose time is above 118 s; ShowEndIndex predicts
// that frame with the same arithmetic.
//
// Times on the command line are decimal seconds ("27.5", "1:05.25" for a minute and 5.25 s),
// kept exactly in microseconds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/win32/types.h"

namespace capture {

struct FrameRate {
    uint32_t num = 60; // frames ...
    uint32_t den = 1;  // ... per this many seconds

    // Whole milliseconds of frame `index`'s exact time.
    uint64_t Milliseconds(uint64_t index) const;
    // The first frame whose exact time is at or after `micros`.
    uint64_t FirstIndexAtOrAfter(int64_t micros) const;
    double PerSecond() const { return double(num) / double(den); }
};

// Rates from 1 to 1000 frames a second, as a whole number ("60"), a fraction ("60000/1001") or a
// decimal ("12.5"). The customary names of the NTSC rates (23.976, 29.97, 47.952, 59.94, 119.88)
// stand for their exact fractions k * 1000/1001, as video tools read them. Numerators and
// denominators are kept below ten million. Nullopt (with the reason) for anything else.
std::optional<FrameRate> ParseFrameRate(const std::string& text, std::string* error);

// Seconds ("27.5") or minutes and seconds ("1:05.25"), at most six decimals, 0 to `limitSeconds`.
std::optional<int64_t> ParseMicroseconds(const std::string& text, int64_t limitSeconds,
                                         std::string* error);
std::string FormatMicroseconds(int64_t micros); // "27.5 s"

// Application time as the program computes it from clock milliseconds.
float ApplicationSeconds(DWORD milliseconds);
// The program ends the show after the first frame drawn with application time above this.
constexpr float SHOW_END_SECONDS = 118.0f;
// The index of that frame at `rate`: the show's last frame.
uint64_t ShowEndIndex(const FrameRate& rate);

// Which frames a capture keeps: a run of the rate's frames (or every stride-th of them, for one
// job of several), or one frame at a chosen moment.
//
// With motion blur each kept frame is drawn as several sub-frames spread evenly over the frame
// interval that ends at its moment, the last one at the moment itself: sub-frame s of n of the
// frame at time t lies at t - (n - 1 - s) / n of an interval, each on the exact clock. The
// interval ends at the frame's moment rather than starting there so that the show's last frame
// still ends the show and the first, at 0 s, stands still (there is no time before it; its
// sub-frames are all drawn at 0). Only a frame's last sub-frame may end the show: an earlier
// one that would (within a millisecond of the end) is held just before it.
struct CapturePlan {
    FrameRate rate;
    uint64_t firstIndex = 0;
    std::optional<uint64_t> lastIndex;   // inclusive; none: until the program ends the show
    std::optional<int64_t> singleMicros; // --at: the one frame, at this moment
    uint64_t stride = 1;                 // keep every stride-th frame from firstIndex
    int subFrames = 1;                   // drawn and averaged for each kept frame

    // Frames from --start (inclusive) to --end (exclusive) at `rate`.
    static CapturePlan Range(const FrameRate& rate, int64_t startMicros,
                             std::optional<int64_t> endMicros);
    static CapturePlan Single(int64_t atMicros);
    // The part of a range plan that job `index` of `count` draws: its every count-th frame from
    // the index-th, ending with the show's last frame at the latest. Empty when there is none.
    CapturePlan JobPart(int index, int count) const;

    // The clock's milliseconds for the k-th kept frame (k from 0): its last sub-frame's.
    DWORD KeptMilliseconds(uint64_t k) const;
    // The clock's milliseconds for sub-frame s (from 0) of the k-th kept frame.
    DWORD SubFrameMilliseconds(uint64_t k, int s) const;
    // Frames asked for; none when the capture runs until the program ends the show.
    std::optional<uint64_t> PlannedFrames() const;
    // How many frames the capture will keep when the program ends the show as predicted; 0 when
    // the plan starts after the show's end.
    uint64_t ExpectedFrames() const;
};

// What the clock reads and which presented frames are kept, frame by frame.
//
// The program takes its time base when it starts (clock 0) and shows its start-up dialog over
// the first frame, so the first frame is always drawn at 0 ms. A plan that starts later drops
// that frame, then draws one more frame 1 ms before its first moment and drops it too: the
// timeline keeps the previous scene at a time exactly on a scene boundary (75.0 s is reachable),
// so the frame before the jump must be one the show could have drawn just before. (That lead-in
// is left out where it would itself end the show: past 118 s every frame shows the last scene.)
// After that the clock jumps to the plan's frames, one per presented frame.
class FrameSchedule {
public:
    explicit FrameSchedule(const CapturePlan& plan);

    DWORD ClockMilliseconds() const { return clock_; }

    // Called after each presented frame. Answers whether that frame is kept (as a kept frame or
    // one of its sub-frames), and moves the clock to the next frame. Frames presented after the
    // plan is complete are not kept.
    bool FramePresented();
    // The frame just presented was the last sub-frame of a kept frame (with one sub-frame, any
    // kept frame): the kept frame is whole.
    bool FrameCompleted() const { return completed_; }
    // All planned frames are kept (the program should be asked to stop).
    bool Complete() const { return complete_; }
    uint64_t KeptFrames() const { return kept_; }

private:
    enum class Stage { FIRST, LEAD_IN, KEEPING };
    void MoveToKeptFrame();

    CapturePlan plan_;
    Stage stage_ = Stage::FIRST;
    DWORD clock_ = 0;
    uint64_t kept_ = 0;
    int subFrame_ = 0;
    bool completed_ = false;
    bool complete_ = false;
};

} // namespace capture
