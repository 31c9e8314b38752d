// The page's ?at=: one moment of the show drawn exactly, on lumenfall-capture's frame schedule
// for --at, so that the two draw the same picture. The start-up dialog is answered at once with
// the default device in the default mode, 640 x 480 x 16, and the clock is set frame by frame.
#pragma once

#include <cstdint>

// Runs the program (the web host installed) for one moment of the show; true when that frame
// was drawn (it stays on the canvas).
bool DrawOneMoment(int64_t atMicros);
