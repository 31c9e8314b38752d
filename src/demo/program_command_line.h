// lumenfall's own command line, read by the entry before the platform starts. --help and
// --version print their text and end the program; the presentation options (the picture and
// how it is shown) go to the platform, and the show itself, which ignores its command line,
// never sees them. Anything else is an error, reported before any window opens. The help text
// lives in program_command_line.cpp, and the manual page is made from the program's --help, so
// an option documented there is documented in both.
#pragma once

#include <string>

#include "platform/host/presentation_options.h"

struct ProgramCommandLine {
    enum class Outcome { RUN, HELP, VERSION, ERROR } outcome = Outcome::RUN;
    std::string error; // for ERROR: one line, without the program's name
    host::PresentationOptions presentation;
};

ProgramCommandLine ParseProgramCommandLine(int argc, const char* const* argv);

// What --help prints.
std::string ProgramHelpText();

// What --version prints: the program's name and version on the first line.
std::string ProgramVersionText();
