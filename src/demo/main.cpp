// Entry point of the lumenfall executable: --help and --version are answered before anything of
// the platform starts (they need no display); otherwise the program's resources are registered,
// as the platform's loader would have mapped them, and WinMain runs on the desktop: the desktop
// host and the real drivers (platform/desktop/program.h).
#include <cstdio>

#include "demo/demo_app.h"
#include "demo/program_command_line.h"
#include "platform/desktop/program.h"
#include "resources/program_resources.h"

namespace {

// Played with no desktop, the show would run its two minutes with nobody to see it.
constexpr char WITHOUT_DESKTOP[] =
    "lumenfall: no desktop to show the demo on (no display answers at DISPLAY or "
    "WAYLAND_DISPLAY). lumenfall needs a desktop; lumenfall-capture renders the show without "
    "one.";

} // namespace

int main(int argc, char** argv) {
    switch (ParseProgramCommandLine(argc, argv).outcome) {
    case ProgramCommandLine::Outcome::HELP:
        std::fputs(ProgramHelpText().c_str(), stdout);
        return 0;
    case ProgramCommandLine::Outcome::VERSION:
        std::fputs(ProgramVersionText().c_str(), stdout);
        return 0;
    case ProgramCommandLine::Outcome::RUN:
        break;
    }
    RegisterProgramResources();
    return desktop::RunDesktopProgram(argc, argv, WinMain, WITHOUT_DESKTOP);
}
