// Handles of loaded resources (internal): LoadIconA, LoadCursorA and LoadAcceleratorsA hand out
// pointers to the registered resources; these turn a handle back into its resource, or null for
// anything that is not one.
#pragma once

#include <vector>

#include "platform/win32/resources.h"

const IconResource* IconFromHandle(HICON icon);
const std::vector<ACCEL>* AcceleratorsFromHandle(HACCEL table);

// The system's arrow cursor and application icon: handles without pixels behind them.
HCURSOR SystemArrowCursor();
HICON SystemApplicationIcon();
