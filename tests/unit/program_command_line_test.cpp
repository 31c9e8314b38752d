// lumenfall's command line: --help and --version are answered, and anything else still starts
// the show as it always did (the program ignores its command line).
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "demo/program_command_line.h"

namespace {

using Outcome = ProgramCommandLine::Outcome;

Outcome Parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "lumenfall");
    return ParseProgramCommandLine(static_cast<int>(arguments.size()), arguments.data()).outcome;
}

TEST(ProgramCommandLine, HelpAndVersionAnswerAndEverythingElseRuns) {
    EXPECT_EQ(Parse({}), Outcome::RUN);
    EXPECT_EQ(Parse({"--help"}), Outcome::HELP);
    EXPECT_EQ(Parse({"-h"}), Outcome::HELP);
    EXPECT_EQ(Parse({"--version"}), Outcome::VERSION);
    EXPECT_EQ(Parse({"--fullscreen", "x", "--version"}), Outcome::VERSION);
    EXPECT_EQ(Parse({"--version", "--help"}), Outcome::VERSION);
    EXPECT_EQ(Parse({nullptr, "--help"}), Outcome::HELP);
    // Near misses are not options of the program: the show starts.
    EXPECT_EQ(Parse({"--helpme", "-version", "--Version", "help", ""}), Outcome::RUN);
    EXPECT_EQ(ParseProgramCommandLine(0, nullptr).outcome, Outcome::RUN);
}

// The manual page is made from these texts by help2man, which takes the version from the first
// line's last word and lays out what fits a terminal.
TEST(ProgramCommandLine, TextsKeepTheShapeTheManualPageIsMadeFrom) {
    EXPECT_EQ(ProgramVersionText().rfind("lumenfall ", 0), 0u);
    EXPECT_EQ(ProgramVersionText().find('\n'), ProgramVersionText().size() - 1);
    const std::string help = ProgramHelpText();
    EXPECT_EQ(help.rfind("Usage: lumenfall", 0), 0u);
    EXPECT_NE(help.find("--help"), std::string::npos);
    EXPECT_NE(help.find("--version"), std::string::npos);
    std::istringstream lines(help);
    std::string line;
    while (std::getline(lines, line)) {
        EXPECT_LE(line.size(), 79u) << line;
    }
}

} // namespace
