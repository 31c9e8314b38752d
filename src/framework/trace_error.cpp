// The framework's debug trace line.
#include "framework/trace_error.h"

#include "platform/win32/kernel.h"

HRESULT TraceError(LPCSTR sourceUnit, int line, HRESULT code, LPCSTR message) {
    // 256 characters hold the longest unit name and any line number many times over; the unit
    // names are the framework's own constants, never outside text.
    char buffer[256];
    wsprintfA(buffer, "%s(%ld): ", sourceUnit != nullptr ? sourceUnit : "",
              static_cast<LONG>(line));
    OutputDebugStringA(buffer);
    OutputDebugStringA(message != nullptr ? message : "");
    if (code != 0) {
        wsprintfA(buffer, "(hr=%08lx)\n", static_cast<DWORD>(code));
        OutputDebugStringA(buffer);
    }
    OutputDebugStringA("\n");
    return code;
}
