// Runs a program written against the platform: the desktop host is installed (or, without a
// display, the headless seams stay), the entry point gets the module handle and the command line
// as one text, and the host is taken down again when it returns.
#pragma once

#include "platform/win32/types.h"

namespace host {

using ProgramEntry = int (*)(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine,
                             int showCommand);

// Returns what the entry returns.
int RunDesktopProgram(int argc, char** argv, ProgramEntry entry);

} // namespace host
