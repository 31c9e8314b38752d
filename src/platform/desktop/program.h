// Runs a program written against the platform on the desktop: the desktop host is installed (or,
// without a display, the headless seams stay), then the real driver set (platform/drivers/); the
// entry point gets the module handle and the command line as one text, and both are taken down
// again when it returns.
#pragma once

#include "platform/win32/types.h"

namespace desktop {

using ProgramEntry = int (*)(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine,
                             int showCommand);

// Returns what the entry returns.
int RunDesktopProgram(int argc, char** argv, ProgramEntry entry);

} // namespace desktop
