#include "platform/desktop/program.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/desktop/desktop_host.h"
#include "platform/drivers/real_drivers.h"
#include "platform/host/drivers.h"
#include "platform/host/host.h"
#include "platform/win32/kernel.h"
#include "platform/win32/user.h"

namespace desktop {

namespace {

// The arguments after the program's name, joined as the platform hands them over: separated by
// spaces, quoted where they hold a space.
std::string CommandLine(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (argv[i] == nullptr) {
            continue;
        }
        std::string argument = argv[i];
        if (!line.empty()) {
            line += ' ';
        }
        bool quote = argument.empty() || argument.find_first_of(" \t") != std::string::npos;
        line += quote ? "\"" + argument + "\"" : argument;
    }
    return line;
}

bool Set(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && value[0] != '\0';
}

// Where no display is named, asking SDL would only cost time to hear the same.
bool DisplayNamed() {
    return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("SDL_VIDEODRIVER");
}

bool HeadlessAsked() {
    const char* value = std::getenv("LUMENFALL_HEADLESS");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

} // namespace

int RunDesktopProgram(int argc, char** argv, ProgramEntry entry, const char* withoutDesktop) {
    if (entry == nullptr) {
        return 1;
    }
    bool desktop = false;
    if (HeadlessAsked()) {
        host::WriteDebugOutput("LUMENFALL_HEADLESS=1: running headless\n");
    } else {
        desktop = DisplayNamed() && InstallDesktopHost();
        if (!desktop) {
            if (withoutDesktop != nullptr) {
                std::fprintf(stderr, "%s\n", withoutDesktop);
            } else {
                std::fprintf(stderr, "%s: no desktop to show on (no display answered)\n",
                             argc > 0 && argv[0] != nullptr ? argv[0] : "the program");
            }
            return 1;
        }
    }
    // After the window backend: the real set is named after that backend's GL and screen.
    host::ScopedDrivers realDrivers(drivers::BuildRealDrivers());
    std::string commandLine = CommandLine(argc, argv);
    int result = entry(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWDEFAULT);
    if (desktop) {
        UninstallDesktopHost();
    }
    return result;
}

} // namespace desktop
