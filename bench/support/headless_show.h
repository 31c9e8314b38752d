// The host's seams set for timing the show headless, for as long as the object lives: a manual
// clock, message boxes written to standard error and counted, the start-up dialog confirmed as it
// comes (the device already chosen stays), a frame sink that makes every present read the frame
// back as the software device does for its window, and the program's resources registered.
#pragma once

#include <functional>

#include "platform/host/host.h"

namespace bench {

class HeadlessShow {
public:
    // `onDialog` runs each time the start-up dialog comes, before it is confirmed.
    explicit HeadlessShow(std::function<void()> onDialog = nullptr);
    ~HeadlessShow();
    HeadlessShow(const HeadlessShow&) = delete;
    HeadlessShow& operator=(const HeadlessShow&) = delete;

    host::ManualClock clock{1000};
    int Boxes() const;

private:
    struct Seams;
    Seams* seams_;
};

} // namespace bench
