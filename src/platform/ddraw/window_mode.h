// Exclusive full screen for a window: the window becomes a desktop-sized borderless window on
// top (the display mode itself is virtual); leaving exclusive mode puts it back.
#pragma once

#include "platform/win32/types.h"

namespace ddraw {

void SetWindowExclusive(HWND window, bool exclusive);

} // namespace ddraw
