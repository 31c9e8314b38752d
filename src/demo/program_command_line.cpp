#include "demo/program_command_line.h"

#include <cstring>

#include "lumenfall_version.h"

ProgramCommandLine ParseProgramCommandLine(int argc, const char* const* argv) {
    ProgramCommandLine parsed;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (argument == nullptr) {
            continue;
        }
        // The first of the two wins, as it would in any program that acts on it at once.
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            parsed.outcome = ProgramCommandLine::Outcome::HELP;
            return parsed;
        }
        if (std::strcmp(argument, "--version") == 0) {
            parsed.outcome = ProgramCommandLine::Outcome::VERSION;
            return parsed;
        }
    }
    return parsed;
}

// Laid out for help2man as well as for the terminal: option lines indented by two, section
// headings alone on a line and ending in a colon, lines within 80 columns.
std::string ProgramHelpText() {
    return R"(Usage: lumenfall [OPTION]

Plays lumenfall, a self-running real-time 3D demo. A small credits dialog
lists your 3D devices; "c o n t i n u e" starts the show, and five scenes of
textured planes and meshes play for about two minutes on a 640 x 480
full-screen display. Then the program quits by itself. There is no sound.
Escape quits early.

The program reads five BMP pictures and three .X models by name, from the
working directory first, then from its media folder: the registry value
"Kestrel Samples Path" under HKEY_LOCAL_MACHINE\Software\Quorvane\DirectX
with \Marlow\Media\ appended. Without that value, the media folder is
share/lumenfall/Marlow/Media/ beside the program's own bin/ folder, where the
media are installed.

When the 3D device cannot be set up, lumenfall falls back from the OpenGL
device to Mesa's software device by itself; every failed step is reported on
standard error. lumenfall-capture renders the same show offscreen, frame by
frame, to PNG files or a video.

Options:
  -h, --help            print this text and quit
      --version         print the program's version and quit

Any other argument is ignored.

Files:
  ~/.config/lumenfall/registry.ini
                        the registry, a small text file (under
                        $XDG_CONFIG_HOME when that is set). For other media,
                        put "Kestrel Samples Path=FOLDER" in its section
                        [HKEY_LOCAL_MACHINE\Software\Quorvane\DirectX] and the
                        eight files into FOLDER/Marlow/Media/.

Environment:
  DISPLAY, WAYLAND_DISPLAY
                        the desktop the show plays on; it needs one
)";
}

std::string ProgramVersionText() {
    return std::string("lumenfall ") + LUMENFALL_VERSION + "\n";
}
