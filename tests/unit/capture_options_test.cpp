// The capture tool's command line: what each option sets, how the output's name picks its kind,
// and that every bad command line is refused with a reason rather than run.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "capture/capture_jobs.h"
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

    // A size of the frame's own: the program stays in its mode, and the picture fills the
    // frame's 4:3 area at native resolution, never smaller than the mode.
    const CaptureOptions wide = Accepted({"--size", "1920x1080", "-o", "wide.mp4"});
    EXPECT_EQ(wide.width, 640);
    EXPECT_EQ(wide.outputWidth, 1920);
    EXPECT_TRUE(wide.presentation.internal.native);
    EXPECT_FALSE(wide.presentation.trueColour) << "authentic unless a look says otherwise";
    EXPECT_EQ(wide.PictureWidth(), 1440);
    EXPECT_EQ(wide.PictureHeight(), 1080);
    EXPECT_EQ(wide.FrameWidth(), 1920);
    EXPECT_EQ(wide.FrameHeight(), 1080);
    const CaptureOptions tall = Accepted({"--size", "1080x1920", "--look", "clean", "-o", "t"});
    EXPECT_EQ(tall.PictureWidth(), 1080);
    EXPECT_EQ(tall.PictureHeight(), 810);
    EXPECT_EQ(tall.presentation.samples, 4);
    const CaptureOptions small = Accepted({"--size", "320x240", "-o", "s"});
    EXPECT_EQ(small.PictureWidth(), 640);
    EXPECT_EQ(small.FrameWidth(), 320);
    const CaptureOptions chosen = Accepted({"--size", "3840x2160", "--internal", "2x", "-o", "c"});
    EXPECT_EQ(chosen.PictureWidth(), 1280) << "an internal resolution given is kept";
    EXPECT_EQ(chosen.FrameWidth(), 3840);
    EXPECT_EQ(Accepted({"--size", "1920x1080", "--device", "none", "--no-output"}).PictureWidth(),
              640);

    EXPECT_EQ(ParseCommandLine({"--help"}).outcome, Outcome::HELP);
    EXPECT_EQ(ParseCommandLine({"-o", "x.mp4", "-h"}).outcome, Outcome::HELP);
    EXPECT_EQ(ParseCommandLine({"--version", "--bogus"}).outcome, Outcome::VERSION);
    EXPECT_EQ(VersionText().rfind("lumenfall-capture ", 0), 0u);
    // Every option has its line, and the text fits a terminal (the manual page is made of it).
    for (const char* option :
         {"--fps", "--size", "--look", "--internal", "--msaa", "--colour", "--blur", "--jobs",
          "--list-devices", "--codec", "--crf", "--chroma", "--no-output"}) {
        EXPECT_NE(UsageText().find(std::string("\n  ") + option + " "), std::string::npos)
            << option;
    }
    std::istringstream lines(UsageText());
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 80u) << line;
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
        {{"--size", "319x240", "-o", "d"}, "a frame from 320x240 to 7680x4320"},
        {{"--size", "7680x4321", "-o", "d"}, "a frame from 320x240 to 7680x4320"},
        {{"--size", "1001x750", "-o", "x.mp4"}, "needs an even width and height"},
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
        {{"--blur", "0", "-o", "d"}, "1 to 64 sub-frames"},
        {{"--blur", "65", "-o", "d"}, "1 to 64 sub-frames"},
        {{"--blur", "2.5", "-o", "d"}, "1 to 64 sub-frames"},
        {{"--jobs", "0", "-o", "d"}, "1 to 64 processes"},
        {{"--jobs", "-1", "-o", "d"}, "1 to 64 processes"},
        {{"--jobs", "2", "--jobs", "2", "-o", "d"}, "--jobs is given twice"},
        {{"--job", "2/2"}, "INDEX/COUNT"},
        {{"--job", "0/1", "-o", "x.mp4"}, "a job writes its frames"},
        {{"--codec", "divx", "-o", "x.mp4"}, "h264, h265, vp9"},
        {{"--codec", "h264", "--codec=h265", "-o", "x.mp4"}, "--codec is given twice"},
        {{"--codec", "h264", "-o", "frames"}, "for a video output"},
        {{"--crf", "20", "--no-output"}, "for a video output"},
        {{"--codec", "ffv1", "-o", "x.mp4"}, "FFV1 does not go in a .mp4 file; use .mkv"},
        {{"--codec", "prores", "-o", "x.webm"}, "use .mov or .mkv"},
        {{"--codec", "vp9", "-o", "x.avi"}, "use .webm, .mkv or .mp4"},
        {{"--crf", "52", "-o", "x.mp4"}, "CRF 52: H.264 takes 0 to 51"},
        {{"--crf", "64", "-o", "x.webm"}, "VP9 takes 0 to 63"},
        {{"--crf", "-3", "-o", "x.mp4"}, "a whole number"},
        {{"--codec", "ffv1", "--crf", "10", "-o", "x.mkv"}, "FFV1 takes no --crf (it is lossless)"},
        {{"--codec", "prores", "--crf", "10", "-o", "x.mov"}, "ProRes takes no --crf"},
        {{"--crf", "10", "-o", "x.avi"}, "MPEG-4 takes no --crf"},
        {{"--chroma", "422", "-o", "x.mp4"}, "420 or 444"},
        {{"--codec", "ffv1", "--chroma", "420", "-o", "x.mkv"}, "keeps the frames' RGB"},
        {{"--codec", "prores", "--chroma", "420", "-o", "x.mov"}, "ProRes has no 4:2:0"},
        {{"--chroma", "444", "-o", "x.avi"}, "MPEG-4 has no 4:4:4"},
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

TEST(CaptureCommandLine, BlurJobsAndTheVideosFormat) {
    const CaptureOptions plain = Accepted({"-o", "show.mp4"});
    EXPECT_EQ(plain.blur, 1);
    EXPECT_FALSE(plain.jobs.has_value());
    EXPECT_EQ(plain.video.codec, VideoCodec::H264);
    EXPECT_EQ(plain.video.crf, 18);
    EXPECT_EQ(plain.video.chroma, Chroma::YUV420);
    EXPECT_EQ(Accepted({"--blur", "16", "--jobs=3", "-o", "d"}).blur, 16);
    EXPECT_EQ(Accepted({"--blur", "16", "--jobs=3", "-o", "d"}).jobs, 3);
    EXPECT_EQ(Accepted({"--blur", "4", "--at", "3", "-o", "f.png"}).Plan().subFrames, 4);

    // Each container's own codec, and the codecs it takes by name.
    EXPECT_EQ(Accepted({"-o", "a.webm"}).video.codec, VideoCodec::VP9);
    EXPECT_EQ(Accepted({"-o", "a.webm"}).video.crf, 30);
    EXPECT_EQ(Accepted({"-o", "a.avi"}).video.codec, VideoCodec::MPEG4);
    EXPECT_FALSE(Accepted({"-o", "a.avi"}).video.crf.has_value());
    const CaptureOptions hevc = Accepted({"--codec", "HEVC", "--crf", "24", "-o", "a.mov"});
    EXPECT_EQ(hevc.video.codec, VideoCodec::H265);
    EXPECT_EQ(hevc.video.crf, 24);
    EXPECT_EQ(Accepted({"--codec", "h265", "-o", "a.mp4"}).video.crf, 20);
    const CaptureOptions av1 = Accepted({"--codec", "av1", "--chroma", "4:4:4", "-o", "a.mkv"});
    EXPECT_EQ(av1.video.chroma, Chroma::YUV444);
    EXPECT_EQ(EncoderCandidates(av1.video), std::vector<std::string>{"libaom-av1"});
    const CaptureOptions lossless = Accepted({"--codec", "ffv1", "--chroma=444", "-o", "a.mkv"});
    EXPECT_FALSE(lossless.video.crf.has_value());
    EXPECT_EQ(DescribeVideoFormat(lossless.video), "FFV1, lossless RGB");
    EXPECT_EQ(DescribeVideoFormat(Accepted({"--codec", "prores", "-o", "a.mov"}).video),
              "ProRes 422 HQ");
    EXPECT_EQ(DescribeVideoFormat(
                  Accepted({"--codec", "prores", "--chroma", "yuv444p", "-o", "a.mkv"}).video),
              "ProRes 4444");

    // 4:2:0 halves both sides and 4:2:2 the width: odd sides cannot be stored.
    VideoFormat format;
    std::string error;
    EXPECT_FALSE(ResolveVideoFormat({}, ".mp4", 641, 480, &format, &error));
    EXPECT_EQ(error, "a 641x480 H.264 video needs an even width and height (or --chroma 444)");
    EXPECT_TRUE(ResolveVideoFormat({std::nullopt, std::nullopt, Chroma::YUV444}, ".mp4", 641, 481,
                                   &format, &error));
    EXPECT_FALSE(ResolveVideoFormat({VideoCodec::PRORES, std::nullopt, std::nullopt}, ".mov", 641,
                                    480, &format, &error));
    EXPECT_TRUE(ResolveVideoFormat({VideoCodec::FFV1, std::nullopt, std::nullopt}, ".mkv", 641, 481,
                                   &format, &error));
}

TEST(CaptureCommandLine, AJobDrawsItsShareOfTheSameFrames) {
    const CaptureOptions options =
        Accepted({"--fps", "30000/1001", "--size", "800x600", "--depth", "32", "--start", "74.9",
                  "--end", "75.25", "--blur", "3", "--jobs", "2", "-v", "-o", "x.mkv"});
    const CapturePlan whole = options.Plan();
    std::vector<DWORD> joined;
    for (int j = 0; j < 3; ++j) {
        const CaptureOptions job = Accepted(JobArguments(options, {j, 3}, DeviceChoice::GPU));
        EXPECT_EQ(job.outputKind, OutputKind::JOB_STREAM);
        EXPECT_EQ(job.device, DeviceChoice::GPU);
        EXPECT_EQ(job.width, 800);
        EXPECT_EQ(job.depth, 32);
        EXPECT_TRUE(job.verbose && job.quiet);
        const CapturePlan part = job.Plan();
        for (uint64_t k = 0; k < part.ExpectedFrames(); ++k) {
            for (int s = 0; s < 3; ++s) {
                const uint64_t index = k * 3 + uint64_t(j);
                EXPECT_EQ(part.SubFrameMilliseconds(k, s), whole.SubFrameMilliseconds(index, s));
            }
            joined.push_back(part.KeptMilliseconds(k));
        }
    }
    EXPECT_EQ(joined.size(), whole.ExpectedFrames());

    // The picture and the frame as the tool resolved them.
    for (const std::vector<std::string>& given :
         {std::vector<std::string>{"--size", "1920x1080", "--look", "clean", "--msaa", "8"},
          std::vector<std::string>{"--size", "3840x2160", "--internal", "2x"},
          std::vector<std::string>{"--size", "1024x768", "--colour", "32"}}) {
        std::vector<std::string> arguments = given;
        arguments.insert(arguments.end(), {"-o", "x.mkv"});
        const CaptureOptions original = Accepted(arguments);
        const CaptureOptions job = Accepted(JobArguments(original, {0, 2}, DeviceChoice::SOFTWARE));
        EXPECT_EQ(job.width, original.width) << given[1];
        EXPECT_EQ(job.FrameWidth(), original.FrameWidth()) << given[1];
        EXPECT_EQ(job.FrameHeight(), original.FrameHeight()) << given[1];
        EXPECT_EQ(job.PictureWidth(), original.PictureWidth()) << given[1];
        EXPECT_EQ(job.presentation.internal, original.presentation.internal) << given[1];
        EXPECT_EQ(job.presentation.samples, original.presentation.samples) << given[1];
        EXPECT_EQ(job.presentation.trueColour, original.presentation.trueColour) << given[1];
    }

    // As many as help: the software rasteriser's cores; one frame is one job.
    EXPECT_EQ(JobCount(Accepted({"-o", "d"}), DeviceChoice::SOFTWARE, 4, 7081), 4);
    EXPECT_EQ(JobCount(Accepted({"-o", "d"}), DeviceChoice::GPU, 4, 7081), 1);
    EXPECT_EQ(JobCount(Accepted({"-o", "d"}), DeviceChoice::SOFTWARE, 4, 3), 3);
    EXPECT_EQ(JobCount(Accepted({"--jobs", "5", "-o", "d"}), DeviceChoice::NONE, 2, 7081), 5);
    EXPECT_EQ(JobCount(Accepted({"--jobs", "5", "--at", "1", "-o", "f.png"}),
                       DeviceChoice::SOFTWARE, 2, 1),
              1);
}

} // namespace
