// Exclusive full screen for a window, through the host's window backend.
#include "platform/ddraw/window_mode.h"

#include "platform/host/host.h"

namespace ddraw {

void SetWindowExclusive(HWND window, bool exclusive) {
    // Headless records and destroyed windows have no native window; the backend accepts null.
    host::Windows().SetExclusiveFullscreen(host::NativeWindowOf(window), exclusive);
}

} // namespace ddraw
