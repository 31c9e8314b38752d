// The framework's debug trace line, used by the display device ("d3dframe") and the device catalog
// ("d3denum"). It goes to the debugger output only; the user sees the one error box of the
// application instead.
#pragma once

#include "platform/win32/types.h"

// One line of debugger output for a failed step: "unit(line): message", the code in hex when it
// is non-zero, and a line feed. Returns `code`, so a failure can be traced and returned at once.
HRESULT TraceError(LPCSTR sourceUnit, int line, HRESULT code, LPCSTR message);
