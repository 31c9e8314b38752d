#include "platform/desktop/program.h"

#include <string>

#include "platform/desktop/desktop_host.h"
#include "platform/drivers/real_drivers.h"
#include "platform/host/drivers.h"
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

} // namespace

int RunDesktopProgram(int argc, char** argv, ProgramEntry entry) {
    if (entry == nullptr) {
        return 1;
    }
    bool desktop = InstallDesktopHost();
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
