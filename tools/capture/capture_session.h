// One capture from start to end: the output is checked and opened, the device found, the
// program run under the capture's seams with each presented frame read back into the frame
// queue, the encoders drained, and the output put in place, or removed when anything failed.
#pragma once

#include "capture_options.h"

namespace capture {

// The exit status: 0 done, 1 failed (the reason is on standard error), 130 interrupted.
int RunCapture(const CaptureOptions& options);

} // namespace capture
