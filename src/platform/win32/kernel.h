// Kernel and runtime subset: module handle, debugger output, string helpers, the multimedia
// timer, and file opening with the program's backslash paths.
#pragma once

#include <cstdio>

#include "platform/win32/types.h"

// The program's one module. Its handle is a fixed small value (it fits in GetWindowLongA).
HMODULE GetModuleHandleA(LPCSTR moduleName);

// Debugger output; here it goes to standard error (and to a capture buffer in tests).
void OutputDebugStringA(LPCSTR text);

LPSTR lstrcpynA(LPSTR destination, LPCSTR source, int maxLength);
int lstrcmpiA(LPCSTR a, LPCSTR b);
int lstrlenA(LPCSTR text);
// The subset of formats the program uses: %s %c %d %u %x %X %ld %lu %lx %lX with flags '-', '0',
// a width and %%. %ld and friends take 32-bit values, as LONG and DWORD are 32 bits. Output is
// limited to 1024 characters, as the platform's is.
int wsprintfA(LPSTR buffer, LPCSTR format, ...);

// Milliseconds from the host's clock source, wrapping at 2^32.
DWORD timeGetTime();

// fopen for the program's paths: backslashes become slashes here, in one place.
FILE* PlatformOpenFile(LPCSTR path, LPCSTR mode);
// Tests hear of every path PlatformOpenFile hands to the file system, as it hands it over, found
// or not; null stops that. It is how a test knows which files the program tried to open.
using FileOpenWatcher = void (*)(const char* path);
void SetFileOpenWatcher(FileOpenWatcher watcher);
