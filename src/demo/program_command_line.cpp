#include "demo/program_command_line.h"

#include <cstring>
#include <string_view>

#include "lumenfall_version.h"

namespace {

using ValueParser = bool (*)(std::string_view text, host::PresentationRequest* request,
                             std::string* error);

// A parser of the platform's for one field of the request.
template <typename T, std::optional<T> host::PresentationRequest::*FIELD,
          bool (*PARSE)(std::string_view, std::optional<T>*, std::string*)>
bool Into(std::string_view text, host::PresentationRequest* request, std::string* error) {
    return PARSE(text, &(request->*FIELD), error);
}

struct ValueOption {
    const char* name;
    ValueParser parse;
};

using Request = host::PresentationRequest;

// The options that take a value, each read by the platform's shared parser of its values.
const ValueOption VALUE_OPTIONS[] = {
    {"--look", Into<host::Look, &Request::look, host::ParseLook>},
    {"--internal",
     Into<host::InternalResolution, &Request::internal, host::ParseInternalResolution>},
    {"--msaa", Into<int, &Request::samples, host::ParseSamples>},
    {"--colour", Into<bool, &Request::trueColour, host::ParseColour>},
    {"--scaling", Into<host::Scaling, &Request::scaling, host::ParseScaling>},
    {"--filter", Into<host::Filtering, &Request::filtering, host::ParseFiltering>},
    {"--window", Into<std::pair<int, int>, &Request::window, host::ParseWindowSize>},
    {"--max-fps", Into<int, &Request::frameCap, host::ParseFrameCap>},
};

ProgramCommandLine Failed(std::string error) {
    ProgramCommandLine failed;
    failed.outcome = ProgramCommandLine::Outcome::ERROR;
    failed.error = std::move(error);
    return failed;
}

} // namespace

ProgramCommandLine ParseProgramCommandLine(int argc, const char* const* argv) {
    ProgramCommandLine parsed;
    host::PresentationRequest request;
    // --help and --version answer whatever else the line holds; the first of the two wins, as it
    // would in any program that acts on it at once.
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (argument == nullptr) {
            continue;
        }
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            parsed.outcome = ProgramCommandLine::Outcome::HELP;
            return parsed;
        }
        if (std::strcmp(argument, "--version") == 0) {
            parsed.outcome = ProgramCommandLine::Outcome::VERSION;
            return parsed;
        }
    }
    for (int i = 1; i < argc; ++i) {
        if (argv[i] == nullptr) {
            continue;
        }
        const std::string_view argument = argv[i];
        if (argument == "--no-vsync") {
            request.vsync = false;
            continue;
        }
        // "--name value" or "--name=value".
        const std::string_view name = argument.substr(0, argument.find('='));
        const ValueOption* option = nullptr;
        for (const ValueOption& candidate : VALUE_OPTIONS) {
            option = name == candidate.name ? &candidate : option;
        }
        if (option == nullptr) {
            return Failed(argument.rfind('-', 0) == 0
                              ? "unknown option " + std::string(argument) + " (see --help)"
                              : "unexpected argument \"" + std::string(argument) +
                                    "\" (the show takes no arguments but its options)");
        }
        std::string_view value;
        if (name.size() < argument.size()) {
            value = argument.substr(name.size() + 1);
        } else if (i + 1 < argc && argv[i + 1] != nullptr) {
            value = argv[++i];
        } else {
            return Failed("option " + std::string(name) + " needs a value");
        }
        std::string error;
        if (!option->parse(value, &request, &error)) {
            return Failed(error);
        }
    }
    parsed.presentation = request.Resolve();
    return parsed;
}

// Laid out for help2man as well as for the terminal: option lines indented by two, section
// headings alone on a line and ending in a colon, lines within 80 columns.
std::string ProgramHelpText() {
    return R"(Usage: lumenfall [OPTION]...

Plays lumenfall, a self-running real-time 3D demo. A small credits dialog
lists your 3D devices; "c o n t i n u e" starts the show, and five scenes of
textured planes and meshes play for about two minutes on a 640 x 480
full-screen display. Then the program quits by itself. There is no sound.
Escape quits early, Alt+Enter switches between a window and full screen, and
F shows or hides the frame rate.

The options below change only how the picture is drawn and shown: the show
itself still runs in its 640 x 480 display mode. The defaults are the
authentic picture, exactly as the show always looked.

The program reads five BMP pictures and three .X models by name, from the
working directory first, then from its media folder: the registry value
"Kestrel Samples Path" under HKEY_LOCAL_MACHINE\Software\Quorvane\DirectX
with \Marlow\Media\ appended. Without that value, the media folder is
share/lumenfall/Marlow/Media/ beside the program's own bin/ folder, where the
media are installed.

When the 3D device cannot be set up, lumenfall falls back from the OpenGL
device to Mesa's software device by itself; every failed step is reported on
standard error. lumenfall-capture renders the same show offscreen, frame by
frame, to PNG files or a video, with the same picture options.

Picture:
  --look LOOK           authentic (default): the display mode's depth and size,
                        as the period saw it; clean: --colour 32 --internal
                        native --msaa 4. Options given besides a look win.
  --internal RES        render the 3D at 2x, 3x or 4x the display mode, at
                        native (the size the picture takes on the screen), or
                        at 1x (default). Text and the letterbox keep their
                        exact proportions.
  --msaa SAMPLES        multisampling: 2, 4 or 8 samples where the device
                        offers them, or off (default)
  --colour DEPTH        32: 32-bit colour targets and textures; mode (default):
                        the display mode's depth, 16 bits

Showing it:
  --scaling MODE        fit (default): as large as fits, aspect kept; integer:
                        the largest whole multiple; stretch: the whole screen
  --filter FILTER       linear (default) or nearest, when the picture is scaled
  --window WxH          start in a window of that size, such as 1280x960, which
                        can be resized (default: full screen)
  --no-vsync            do not wait for the display's refresh
  --max-fps FPS         draw at most FPS frames a second (default: no cap)

Other options:
  -h, --help            print this text and quit
      --version         print the program's version and quit

A bad option or value is reported and the program quits with status 2 before
anything is shown. Options take their value as "--look clean" or
"--look=clean".

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
