// Waits until the current GL context has carried out everything sent to it, so that a timing
// taken afterwards holds the rasteriser's work (Mesa's software rasteriser draws when it must).
#pragma once

namespace bench {

void FinishGl();

} // namespace bench
