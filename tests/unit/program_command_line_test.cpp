// lumenfall's command line: --help and --version are answered, the presentation options are
// read for the platform (the show itself still ignores its command line), and anything else is
// an error before anything starts.
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

ProgramCommandLine ParseAll(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "lumenfall");
    return ParseProgramCommandLine(static_cast<int>(arguments.size()), arguments.data());
}

TEST(ProgramCommandLine, HelpAndVersionAnswerWhateverElseTheLineHolds) {
    EXPECT_EQ(Parse({}), Outcome::RUN);
    EXPECT_EQ(Parse({"--help"}), Outcome::HELP);
    EXPECT_EQ(Parse({"-h"}), Outcome::HELP);
    EXPECT_EQ(Parse({"--version"}), Outcome::VERSION);
    EXPECT_EQ(Parse({"--fullscreen", "x", "--version"}), Outcome::VERSION);
    EXPECT_EQ(Parse({"--version", "--help"}), Outcome::VERSION);
    EXPECT_EQ(Parse({"--msaa", "3", "--help"}), Outcome::HELP);
    EXPECT_EQ(Parse({nullptr, "--help"}), Outcome::HELP);
    EXPECT_EQ(ParseProgramCommandLine(0, nullptr).outcome, Outcome::RUN);
}

TEST(ProgramCommandLine, PresentationOptionsGoToThePlatformAndBadOnesAreErrors) {
    const ProgramCommandLine plain = ParseAll({});
    EXPECT_FALSE(plain.presentation.ChangesTargets());
    EXPECT_TRUE(plain.presentation.vsync);

    const ProgramCommandLine all =
        ParseAll({"--look", "clean", "--msaa=8", "--scaling", "integer", "--filter=nearest",
                  "--window", "1280x960", "--no-vsync", "--max-fps", "75", "--colour", "mode"});
    ASSERT_EQ(all.outcome, Outcome::RUN) << all.error;
    EXPECT_TRUE(all.presentation.internal.native);
    EXPECT_EQ(all.presentation.samples, 8);
    EXPECT_FALSE(all.presentation.trueColour);
    EXPECT_EQ(all.presentation.scaling, host::Scaling::INTEGER);
    EXPECT_EQ(all.presentation.filtering, host::Filtering::NEAREST);
    EXPECT_EQ(all.presentation.windowWidth, 1280);
    EXPECT_EQ(all.presentation.windowHeight, 960);
    EXPECT_FALSE(all.presentation.vsync);
    EXPECT_EQ(all.presentation.frameCap, 75);
    EXPECT_EQ(ParseAll({"--internal", "2x"}).presentation.internal.scale, 2);

    const std::pair<std::vector<const char*>, const char*> bad[] = {
        {{"--internal", "5x"}, "internal resolution \"5x\": 1x, 2x, 3x, 4x or native"},
        {{"--look"}, "option --look needs a value"},
        {{"--window=big"}, "window size \"big\""},
        {{"--helpme"}, "unknown option --helpme (see --help)"},
        {{"-version"}, "unknown option -version"},
        {{"clean"}, "unexpected argument \"clean\""},
        {{""}, "unexpected argument"},
    };
    for (const auto& [arguments, reason] : bad) {
        const ProgramCommandLine parsed = ParseAll(arguments);
        EXPECT_EQ(parsed.outcome, Outcome::ERROR) << reason;
        EXPECT_NE(parsed.error.find(reason), std::string::npos) << parsed.error;
    }
}

// The manual page is made from these texts by help2man, which takes the version from the first
// line's last word and lays out what fits a terminal.
TEST(ProgramCommandLine, TextsKeepTheShapeTheManualPageIsMadeFrom) {
    EXPECT_EQ(ProgramVersionText().rfind("lumenfall ", 0), 0u);
    EXPECT_EQ(ProgramVersionText().find('\n'), ProgramVersionText().size() - 1);
    const std::string help = ProgramHelpText();
    EXPECT_EQ(help.rfind("Usage: lumenfall", 0), 0u);
    EXPECT_NE(help.find("--help"), std::string::npos);
    for (const char* option : {"--version", "--look", "--internal", "--msaa", "--colour",
                               "--scaling", "--filter", "--window", "--no-vsync", "--max-fps"}) {
        EXPECT_NE(help.find(std::string("  ") + option), std::string::npos) << option;
    }
    std::istringstream lines(help);
    std::string line;
    while (std::getline(lines, line)) {
        EXPECT_LE(line.size(), 79u) << line;
    }
}

} // namespace
