// The command line of lumenfall-capture: what to capture, at which rate, size and depth, on
// which device, and where the frames go.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "frame_timeline.h"
#include "platform/host/presentation_options.h"
#include "video_codecs.h"

namespace capture {

enum class OutputKind {
    PNG_FOLDER, // frame_000001.png, ... in a folder
    PNG_FILE,   // one frame (--at) as one PNG file
    VIDEO,      // one video file written by ffmpeg
    NONE,       // --no-output: frames are drawn and counted only
    JOB_STREAM, // a job of a capture in several processes: raw frames to the tool that runs it
};

enum class DeviceChoice { AUTO, SOFTWARE, GPU, NONE };

constexpr int MAX_BLUR = 64;
constexpr int MAX_JOBS = 64;

// One of the processes of a capture in several jobs: it draws every count-th kept frame from
// the index-th (from 0) and writes them to the descriptor JOB_STREAM_FD for the tool that
// started it, which joins the jobs' frames in order.
struct JobPart {
    int index = 0;
    int count = 1;
};
constexpr int JOB_STREAM_FD = 3;

struct CaptureOptions {
    std::string output;
    OutputKind outputKind = OutputKind::NONE;
    std::string videoExtension; // ".mp4", lower case, for VIDEO
    VideoRequest videoRequest;  // --codec, --crf, --chroma
    VideoFormat video;          // for VIDEO: the request completed for the container
    FrameRate rate{60, 1};
    // The display mode the program runs in.
    int width = 640;
    int height = 480;
    int depth = 16;
    // A --size that is no display mode: the frames' own size, which the 4:3 picture fills as
    // far as it can; 0 x 0 for a display mode, whose frames are the picture itself.
    int outputWidth = 0;
    int outputHeight = 0;
    int64_t startMicros = 0;
    std::optional<int64_t> endMicros;
    std::optional<int64_t> atMicros;
    DeviceChoice device = DeviceChoice::AUTO;
    // Sub-frames averaged into each written frame (motion blur); 1 draws each frame once.
    int blur = 1;
    // Processes that draw the frames (--jobs); none: as many as help (see capture_jobs.h).
    std::optional<int> jobs;
    std::optional<JobPart> part; // set in a job's own process
    bool overwrite = false;
    bool quiet = false;
    bool verbose = false;
    // --look, --internal, --msaa, --colour: drawn as lumenfall draws with the same options.
    // Native internal resolution has no screen here: it fills the frame's largest 4:3 area (the
    // mode's size for a display mode). A frame of its own size draws at native resolution
    // unless --internal says otherwise.
    host::PresentationOptions presentation;
    // Not on the command line: how long the video encoder may take no frame, or take to end
    // after the last one, before it counts as stuck. Tests shorten it.
    std::chrono::milliseconds encoderStallLimit{60000};

    CapturePlan Plan() const;
    // The picture the program presents: the mode's size, or larger at an internal resolution
    // (not for --device none, which draws nothing and presents the mode's memory).
    int PictureWidth() const;
    int PictureHeight() const;
    // The frames written: the output size, or the picture's.
    int FrameWidth() const;
    int FrameHeight() const;
    // The colour depth the frames carry: the mode's, or 32 bits with --colour 32.
    int PictureDepth() const;
};

struct ParsedCommandLine {
    enum class Outcome { RUN, HELP, VERSION, LIST_DEVICES, ERROR } outcome = Outcome::RUN;
    CaptureOptions options;
    std::string error; // for ERROR: one line, without the program's name
};

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The --help text.
std::string UsageText();

// The --version text: the tool's name and version on one line.
std::string VersionText();

// The display sizes the program's device catalog offers.
bool IsOfferedSize(int width, int height);

// The frame sizes --size takes besides the display modes.
constexpr int MIN_OUTPUT_WIDTH = 320;
constexpr int MIN_OUTPUT_HEIGHT = 240;
constexpr int MAX_OUTPUT_WIDTH = 7680;
constexpr int MAX_OUTPUT_HEIGHT = 4320;

} // namespace capture
