// Runs a program written against the platform on the desktop: the desktop host is installed, then
// the real driver set (platform/drivers/); the entry point gets the module handle and the command
// line as one text, and both are taken down again when it returns.
//
// A program a person starts is there to be seen. Without a desktop (neither DISPLAY nor
// WAYLAND_DISPLAY names a display, or none answers) the entry never runs: the run ends at once
// with a sentence on standard error and status 1, rather than playing to nobody. Tests that want
// the headless seams instead ask for them with LUMENFALL_HEADLESS=1.
#pragma once

#include "platform/win32/types.h"

namespace desktop {

using ProgramEntry = int (*)(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine,
                             int showCommand);

// Returns what the entry returns. `withoutDesktop` is the sentence for a run with no desktop
// (null: a plain one naming the program).
int RunDesktopProgram(int argc, char** argv, ProgramEntry entry,
                      const char* withoutDesktop = nullptr);

} // namespace desktop
