// The capture tool's command line: what each option sets, how the output's name picks its kind,
// and that every bad command line is refused with a reason rather than run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/capture_options.h"

using namespace capture;

namespace {

using Outcome = ParsedCommandLine::Outcome;

CaptureOptions Accepted(const std::vector<std::string>& arguments) {
    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    EXPECT_EQ(parsed.outcome, Outcome::RUN) << parsed.error;
    return parsed.options;
}

TEST(CaptureCommandLine, DefaultsAndTheOutputsKindByItsName) {
    const CaptureOptions video = Accepted({"-o", "show.mp4"});
    EXPECT_EQ(video.outputKind, OutputKind::VIDEO);
    EXPECT_EQ(video.videoExtension, ".mp4");
    EXPECT_EQ(video.width, 640);
    EXPECT_EQ(video.height, 480);
    EXPECT_EQ(video.depth, 16);
    EXPECT_EQ(video.rate.num, 60u);
    EXPECT_EQ(video.rate.den, 1u);
    EXPECT_EQ(video.device, DeviceChoice::AUTO);
    EXPECT_FALSE(video.endMicros.has_value());
    EXPECT_FALSE(video.overwrite);

    EXPECT_EQ(Accepted({"--output=clips/Show.MKV"}).videoExtension, ".mkv");
    EXPECT_EQ(Accepted({"-oshow.webm"}).outputKind, OutputKind::VIDEO);
    EXPECT_EQ(Accepted({"-o", "frames"}).outputKind, OutputKind::PNG_FOLDER);
    EXPECT_EQ(Accepted({"-o", "run.v2/"}).outputKind, OutputKind::PNG_FOLDER);
    EXPECT_EQ(Accepted({"-o", "/tmp/some.dir/frames"}).outputKind, OutputKind::PNG_FOLDER);
    EXPECT_EQ(Accepted({"--no-output"}).outputKind, OutputKind::NONE);

    const CaptureOptions single = Accepted({"--at", "27.5", "-o", "frame.png"});
    EXPECT_EQ(single.outputKind, OutputKind::PNG_FILE);
    EXPECT_EQ(single.atMicros, 27500000);
    EXPECT_EQ(single.Plan().KeptMilliseconds(0), 27500u);
}

TEST(CaptureCommandLine, EveryOptionSetsItsValue) {
    const CaptureOptions options =
        Accepted({"--fps=59.94", "--size", "1600x1200", "--depth", "32", "--start", "1:05.5",
                  "--end", "70", "--device", "software", "-y", "-q", "-v", "-o", "out.avi"});
    EXPECT_EQ(options.rate.num, 60000u);
    EXPECT_EQ(options.rate.den, 1001u);
    EXPECT_EQ(options.width, 1600);
    EXPECT_EQ(options.height, 1200);
    EXPECT_EQ(options.depth, 32);
    EXPECT_EQ(options.startMicros, 65500000);
    EXPECT_EQ(options.endMicros, 70000000);
    EXPECT_EQ(options.device, DeviceChoice::SOFTWARE);
    EXPECT_TRUE(options.overwrite && options.quiet && options.verbose);
    EXPECT_EQ(Accepted({"--device=GPU", "--no-output"}).device, DeviceChoice::GPU);
    EXPECT_EQ(Accepted({"--device", "none", "--no-output"}).device, DeviceChoice::NONE);
    EXPECT_EQ(Accepted({"--size=800X600", "--no-output"}).width, 800);
    // The show's last frame, at one frame a second: 118 000 ms is already above 118 s.
    EXPECT_EQ(Accepted({"--fps", "1", "--start", "118", "--no-output"}).Plan().ExpectedFrames(),
              1u);

    // The picture options, read by the same parsers as lumenfall's; the frames grow with the
    // internal resolution (native has no screen here: the mode's size).
    EXPECT_FALSE(options.presentation.ChangesTargets());
    const CaptureOptions clean =
        Accepted({"--look", "clean", "--msaa=8", "--size", "800x600", "-o", "out.mkv"});
    EXPECT_TRUE(clean.presentation.trueColour);
    EXPECT_EQ(clean.presentation.samples, 8);
    EXPECT_EQ(clean.FrameWidth(), 800);
    EXPECT_EQ(clean.PictureDepth(), 32);
    const CaptureOptions twice = Accepted({"--internal", "3x", "--colour", "32", "-o", "out.mkv"});
    EXPECT_EQ(twice.FrameWidth(), 1920);
    EXPECT_EQ(twice.FrameHeight(), 1440);
    EXPECT_EQ(Accepted({"--internal", "2x", "--device", "none", "--no-output"}).FrameWidth(), 640)
        << "nothing is drawn: the mode's memory is presented";

    EXPECT_EQ(ParseCommandLine({"--help"}).outcome, Outcome::HELP);
    EXPECT_EQ(ParseCommandLine({"-o", "x.mp4", "-h"}).outcome, Outcome::HELP);
    EXPECT_EQ(ParseCommandLine({"--version", "--bogus"}).outcome, Outcome::VERSION);
    EXPECT_EQ(VersionText().rfind("lumenfall-capture ", 0), 0u);
    for (const char* option : {"--fps", "--look", "--internal", "--msaa", "--colour"}) {
        EXPECT_NE(UsageText().find(std::string("  ") + option), std::string::npos) << option;
    }
}

TEST(CaptureCommandLine, BadCommandLinesAreRefusedWithAReason) {
    struct Case {
        std::vector<std::string> arguments;
        const char* reason; // a part of the message
    };
    const std::vector<Case> cases = {
        {{}, "no output"},
        {{"-o"}, "needs a value"},
        {{"-o", ""}, "empty"},
        {{"--fps"}, "needs a value"},
        {{"--fps", "0", "-o", "d"}, "frame rate"},
        {{"--size", "1280x1024", "-o", "d"}, "not a display mode"},
        {{"--size", "640", "-o", "d"}, "WIDTHxHEIGHT"},
        {{"--size", "640x480x16", "-o", "d"}, "WIDTHxHEIGHT"},
        {{"--depth", "24", "-o", "d"}, "16 or 32"},
        {{"--depth", "8", "-o", "d"}, "16 or 32"},
        {{"--at", "5", "--start", "3", "-o", "f.png"}, "excludes"},
        {{"--at", "abc", "-o", "f.png"}, "expected seconds"},
        {{"--at", "120", "-o", "f.png"}, "from 0 to 119"},
        {{"-o", "f.png"}, "holds one frame"},
        {{"-o", "show.jpg"}, "unknown kind"},
        {{"--start", "20", "--end", "10", "-o", "d"}, "after --start"},
        {{"--start", "20", "--end", "20", "-o", "d"}, "after --start"},
        {{"--fps", "1", "--start", "10.1", "--end", "10.9", "-o", "d"}, "no frame"},
        {{"--fps", "60", "--start", "119", "-o", "d"}, "after the show's end"},
        {{"--fps", "1", "--start", "118.5", "-o", "d"}, "after the show's end"},
        {{"--end", "4000", "-o", "d"}, "from 0 to 3600"},
        {{"--device", "vulkan", "-o", "d"}, "software, gpu"},
        {{"--look", "modern", "-o", "d"}, "look \"modern\": authentic or clean"},
        {{"--internal=5x", "-o", "d"}, "1x, 2x, 3x, 4x or native"},
        {{"--msaa", "3", "-o", "d"}, "off, 2, 4 or 8"},
        {{"--colour", "24", "-o", "d"}, "mode (the display mode's depth) or 32"},
        {{"--look"}, "needs a value"},
        {{"--no-output", "-o", "d"}, "exclude"},
        {{"--bogus", "-o", "d"}, "unknown option --bogus"},
        {{"--fpsx", "-o", "d"}, "unknown option"},
        {{"-o", "d", "stray"}, "unexpected argument"},
        // A second value would silently win over the first.
        {{"--at", "5", "--at", "6", "-o", "f.png"}, "--at is given twice"},
        {{"--at=5", "--at", "5", "-o", "f.png"}, "--at is given twice"},
        {{"-o", "a", "--output=b"}, "the output (-o, --output) is given twice"},
        {{"--fps", "30", "--fps", "60", "-o", "d"}, "--fps is given twice"},
        {{"--size", "800x600", "--size=800x600", "-o", "d"}, "--size is given twice"},
        {{"--depth", "16", "--depth", "32", "-o", "d"}, "--depth is given twice"},
        {{"--start", "1", "--start", "2", "-o", "d"}, "--start is given twice"},
        {{"--end", "3", "--end", "4", "-o", "d"}, "--end is given twice"},
        {{"--device", "none", "--device", "gpu", "-o", "d"}, "--device is given twice"},
    };
    for (const Case& c : cases) {
        const ParsedCommandLine parsed = ParseCommandLine(c.arguments);
        std::string line;
        for (const std::string& argument : c.arguments) {
            line += argument + " ";
        }
        EXPECT_EQ(parsed.outcome, Outcome::ERROR) << line;
        EXPECT_NE(parsed.error.find(c.reason), std::string::npos)
            << line << "-> \"" << parsed.error << "\"";
    }
}

} // namespace
