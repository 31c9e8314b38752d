// Entry point of the lumenfall executable: --help and --version are answered, and a bad option
// reported, before anything of the platform starts (they need no display); otherwise the
// presentation options go to the platform, the program's resources are registered, as the
// platform's loader would have mapped them, and WinMain runs on the desktop: the desktop host
// and the real drivers (platform/desktop/program.h). WinMain's command line has no effect.
#include <cstdio>

#include "demo/demo_app.h"
#include "demo/program_command_line.h"
#include "platform/desktop/program.h"
#include "platform/host/presentation_options.h"
#include "resources/program_resources.h"

namespace {

// Played with no desktop, the show would run its two minutes with nobody to see it.
constexpr char WITHOUT_DESKTOP[] =
    "lumenfall: no desktop to show the demo on (no display answers at DISPLAY or "
    "WAYLAND_DISPLAY). lumenfall needs a desktop; lumenfall-capture renders the show without "
    "one.";

} // namespace

int main(int argc, char** argv) {
    const ProgramCommandLine parsed = ParseProgramCommandLine(argc, argv);
    switch (parsed.outcome) {
    case ProgramCommandLine::Outcome::ERROR:
        std::fprintf(stderr, "lumenfall: %s\n", parsed.error.c_str());
        return 2;
    case ProgramCommandLine::Outcome::HELP:
        std::fputs(ProgramHelpText().c_str(), stdout);
        return 0;
    case ProgramCommandLine::Outcome::VERSION:
        std::fputs(ProgramVersionText().c_str(), stdout);
        return 0;
    case ProgramCommandLine::Outcome::RUN:
        break;
    }
    host::SetPresentationOptions(parsed.presentation);
    RegisterProgramResources();
    return desktop::RunDesktopProgram(argc, argv, WinMain, WITHOUT_DESKTOP);
}
