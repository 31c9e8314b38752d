// lumenfall's own command line, read by the entry before the platform starts. --help and
// --version print their text and end the program; everything else goes on to the show, which
// ignores its command line. The help text lives in program_command_line.cpp, and the manual
// page is made from the program's --help, so an option documented there is documented in both.
#pragma once

#include <string>

struct ProgramCommandLine {
    enum class Outcome { RUN, HELP, VERSION } outcome = Outcome::RUN;
};

ProgramCommandLine ParseProgramCommandLine(int argc, const char* const* argv);

// What --help prints.
std::string ProgramHelpText();

// What --version prints: the program's name and version on the first line.
std::string ProgramVersionText();
