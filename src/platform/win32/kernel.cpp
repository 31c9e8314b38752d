// Kernel subset: the module handle, debugger output, string helpers and the multimedia timer.
#include "platform/win32/kernel.h"

#include <cctype>

#include "platform/host/host.h"

namespace {

// The classic image base: small enough to travel through GetWindowLongA's 32-bit answer.
const HMODULE PROGRAM_MODULE = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x00400000));

} // namespace

HMODULE GetModuleHandleA(LPCSTR moduleName) {
    // The program is one module; asking for any other finds nothing.
    return moduleName == nullptr ? PROGRAM_MODULE : nullptr;
}

void OutputDebugStringA(LPCSTR text) {
    if (text != nullptr) {
        host::WriteDebugOutput(text);
    }
}

LPSTR lstrcpynA(LPSTR destination, LPCSTR source, int maxLength) {
    if (destination == nullptr || maxLength <= 0) {
        return destination;
    }
    if (source == nullptr) {
        source = "";
    }
    int i = 0;
    for (; i < maxLength - 1 && source[i] != '\0'; ++i) {
        destination[i] = source[i];
    }
    destination[i] = '\0';
    return destination;
}

int lstrcmpiA(LPCSTR a, LPCSTR b) {
    // A null string sorts before every string, and equals another null one.
    if (a == nullptr || b == nullptr) {
        return a == b ? 0 : (a == nullptr ? -1 : 1);
    }
    for (;; ++a, ++b) {
        int ca = std::tolower(static_cast<unsigned char>(*a));
        int cb = std::tolower(static_cast<unsigned char>(*b));
        if (ca != cb || ca == 0) {
            return ca < cb ? -1 : (ca > cb ? 1 : 0);
        }
    }
}

int lstrlenA(LPCSTR text) {
    if (text == nullptr) {
        return 0;
    }
    int length = 0;
    while (text[length] != '\0') {
        ++length;
    }
    return length;
}

DWORD timeGetTime() {
    return host::Clock().Milliseconds();
}
