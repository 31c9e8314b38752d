#include "capture_options.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>

#include "lumenfall_version.h"
#include "platform/host/presentation.h"

namespace capture {

namespace {

// --start and --at name moments of the show: it ends in its first frame after 118 s, which at
// the slowest rate (one frame a second) lies at 119 s.
constexpr int64_t LATEST_MOMENT_SECONDS = 119;
// --end may lie beyond the show (the program ends it first), but not absurdly so.
constexpr int64_t LATEST_END_SECONDS = 3600;

const char* const VIDEO_EXTENSIONS[] = {".mp4", ".mkv", ".webm", ".mov", ".avi"};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// The extension of the last path component ("" for none, or a name ending in '/').
std::string ExtensionOf(const std::string& path) {
    if (path.empty() || path.back() == '/') {
        return "";
    }
    const size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0) {
        return "";
    }
    return Lower(name.substr(dot));
}

bool LooksLikeFileType(const std::string& extension) {
    if (extension.size() < 2 || extension.size() > 5) {
        return false;
    }
    return std::all_of(extension.begin() + 1, extension.end(),
                       [](unsigned char c) { return std::isalnum(c) != 0; });
}

std::string Twice(const std::string& what) {
    return what + " is given twice; give it once";
}

bool ParseSize(const std::string& text, int* width, int* height) {
    const size_t x = Lower(text).find('x');
    if (x == std::string::npos || x == 0 || x + 1 >= text.size() || text.size() > 11) {
        return false;
    }
    auto digits = [](const std::string& part) {
        return std::all_of(part.begin(), part.end(),
                           [](unsigned char c) { return std::isdigit(c) != 0; });
    };
    const std::string w = text.substr(0, x), h = text.substr(x + 1);
    if (!digits(w) || !digits(h)) {
        return false;
    }
    *width = std::stoi(w);
    *height = std::stoi(h);
    return true;
}

struct OptionReader {
    const std::vector<std::string>& arguments;
    size_t next = 0;
    std::string error;

    // "--name value", "--name=value" or, for one-letter options, "-o value" and "-ovalue".
    bool Value(const std::string& argument, const std::string& name, std::string* value) {
        if (argument.size() > name.size() && argument.compare(0, name.size(), name) == 0) {
            const bool longForm = name.size() > 2;
            if (longForm && argument[name.size()] == '=') {
                *value = argument.substr(name.size() + 1);
                return true;
            }
            if (!longForm) {
                *value = argument.substr(name.size());
                return true;
            }
            return false;
        }
        if (argument != name) {
            return false;
        }
        if (next >= arguments.size()) {
            error = "option " + name + " needs a value";
            *value = "";
            return true;
        }
        *value = arguments[next++];
        return true;
    }
};

// A whole number from 1 to `limit`.
std::optional<int> ParseCount(const std::string& text, int limit) {
    if (text.empty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(),
                     [](unsigned char c) { return std::isdigit(c) != 0; })) {
        return std::nullopt;
    }
    const int count = std::stoi(text);
    return count >= 1 && count <= limit ? std::optional<int>(count) : std::nullopt;
}

} // namespace

bool IsOfferedSize(int width, int height) {
    return (width == 640 && height == 480) || (width == 800 && height == 600) ||
           (width == 1024 && height == 768) || (width == 1600 && height == 1200);
}

int CaptureOptions::PictureWidth() const {
    return device == DeviceChoice::NONE
               ? width
               : host::InternalTargetSize(presentation, width, height, 0, 0).width;
}

int CaptureOptions::PictureHeight() const {
    return device == DeviceChoice::NONE
               ? height
               : host::InternalTargetSize(presentation, width, height, 0, 0).height;
}

int CaptureOptions::FrameWidth() const {
    return outputWidth > 0 ? outputWidth : PictureWidth();
}

int CaptureOptions::FrameHeight() const {
    return outputHeight > 0 ? outputHeight : PictureHeight();
}

int CaptureOptions::PictureDepth() const {
    return presentation.trueColour ? 32 : depth;
}

CapturePlan CaptureOptions::Plan() const {
    if (atMicros) {
        CapturePlan plan = CapturePlan::Single(*atMicros);
        plan.rate = rate;
        plan.subFrames = blur;
        return plan;
    }
    CapturePlan plan = CapturePlan::Range(rate, startMicros, endMicros);
    plan.subFrames = blur;
    return part ? plan.JobPart(part->index, part->count) : plan;
}

std::string UsageText() {
    return R"(Usage: lumenfall-capture -o OUTPUT [options]

Renders lumenfall frame by frame, offscreen, exactly as the program draws it,
and writes the frames as PNG files or as one video. The clock moves one frame
per frame drawn, so every frame lies exactly on the rate's grid however long
it takes to draw.

Output (-o, --output PATH), chosen by its name:
  DIR or DIR/           a folder of numbered PNG files, frame_000001.png, ...
                        (made if missing; its parent must exist)
  NAME.png              one frame, with --at
  NAME.mp4 .mkv .mov    a video (H.264), NAME.webm (VP9), NAME.avi (MPEG-4),
                        written by the ffmpeg program, which must be installed
  --no-output           draw and count the frames, write nothing

Options:
  --fps RATE            frames a second: 60 (default), 50, 30, 60000/1001,
                        29.97, 12.5, ... (23.976, 29.97, 47.952, 59.94 and
                        119.88 mean k*1000/1001)
  --size WxH            a display mode: 640x480 (default), 800x600, 1024x768,
                        1600x1200; or frames of any size from 320x240 to
                        7680x4320 (1920x1080, 3840x2160): the program in its
                        640x480 mode, its 4:3 picture drawn as large as the
                        frame holds it, centred, black beside it, never
                        enlarged
  --depth BITS          display mode depth: 16 (default) or 32
  --start TIME          first frame: the first at or after TIME (default 0)
  --end TIME            stop before TIME (default: where the show ends, its
                        first frame after 118 s)
  --at TIME             one frame at exactly TIME
  --device KIND         software (Mesa's software rasteriser through EGL), gpu
                        (a GPU through EGL), auto (default: the GPU when there
                        is one), none (draws nothing; for counting frames and
                        timing the rest)
  --blur N              motion blur: each frame the average of N moments spread
                        over its interval (1 to 64; default 1, none)
  --jobs N              processes drawing frames at once, joined in order
                        (default: one per core for software, else one)
  --list-devices        the EGL devices and what each one draws with, then end
  -y, --overwrite       replace an existing output (a folder's old frame_*.png
                        files go)
  -q, --quiet           no progress bar (there is none when standard error is
                        not a terminal)
  -v, --verbose         the program's debug output on standard error
  -h, --help            this text
      --version         the tool's version

Picture (as lumenfall draws with the same options):
  --look LOOK           authentic (default): the mode's depth and size; clean:
                        --colour 32 --internal native --msaa 4
  --internal RES        draw at 1x (default), 2x, 3x or 4x the mode, or native:
                        the frame's size (the default for a --size that is no
                        display mode)
  --msaa SAMPLES        multisampling: 2, 4 or 8 samples where the device offers
                        them, or off
  --colour DEPTH        32: 32-bit colour targets and textures; mode (default):
                        the mode's

Video (for a video output):
  --codec CODEC         h264 (.mp4 .mkv .mov), h265, vp9 (.webm), av1, ffv1
                        (lossless, .mkv), prores (.mov, for editors), mpeg4
                        (.avi); by default from the name
  --crf N               quality, lower is better: h264 18, h265 20, vp9 and
                        av1 30 by default
  --chroma 420|444      colour detail: 420 (default, plays everywhere) or 444
                        (every pixel's)

TIME is seconds (27.5) or minutes and seconds (1:05.25), from 0 to 119 (--end:
up to 3600). The start-up dialog is confirmed at once with the default device
in the chosen mode; the program's message boxes go to standard error.

Exit status:
  0                     done
  1                     the capture failed
  2                     bad command line
  130                   interrupted (Ctrl-C, SIGTERM, SIGHUP or SIGQUIT); the
                        unfinished output is removed (a signal ignored at the
                        start, as under nohup, stays ignored)

Examples:
  lumenfall-capture -o lumenfall.mp4
                        the whole show, 640x480, 60 fps
  lumenfall-capture --size 1600x1200 --depth 32 -o show.mkv
                        the whole show, 1600x1200, 32 bits
  lumenfall-capture --start 30 --end 60 -o frames/
                        the plane scene as PNG files
  lumenfall-capture --at 27.5 -o frame.png
                        one frame
  lumenfall-capture --look clean --internal 2x -o show.mkv
                        1280x960 frames, as lumenfall --look clean draws them
  lumenfall-capture --codec ffv1 -o master.mkv
                        a lossless master
  lumenfall-capture --size 1920x1080 -o show.mp4
                        for video sites: a 1440x1080 picture, black beside it
  lumenfall-capture --size 3840x2160 --look clean --blur 4 --codec h265 -o a.mkv
                        4K, anti-aliased, with motion blur
)";
}

std::string VersionText() {
    return std::string("lumenfall-capture ") + LUMENFALL_VERSION + "\n";
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    ParsedCommandLine parsed;
    CaptureOptions& options = parsed.options;
    OptionReader reader{arguments, 0, ""};
    host::PresentationRequest presentation;
    bool noOutput = false;
    bool sawOutput = false, sawStart = false, sawEnd = false;
    std::string value;
    // Options that take one value, by their long name: a second one would silently win.
    std::set<std::string> given;

    auto fail = [&](std::string message) {
        parsed.outcome = ParsedCommandLine::Outcome::ERROR;
        parsed.error = std::move(message);
        return parsed;
    };
    auto repeated = [&](const std::string& name) { return !given.insert(name).second; };

    while (reader.next < arguments.size()) {
        const std::string argument = arguments[reader.next++];
        if (argument == "-h" || argument == "--help") {
            parsed.outcome = ParsedCommandLine::Outcome::HELP;
            return parsed;
        } else if (argument == "--version") {
            parsed.outcome = ParsedCommandLine::Outcome::VERSION;
            return parsed;
        } else if (argument == "--list-devices") {
            parsed.outcome = ParsedCommandLine::Outcome::LIST_DEVICES;
            return parsed;
        } else if (argument == "-y" || argument == "--overwrite") {
            options.overwrite = true;
        } else if (argument == "-q" || argument == "--quiet") {
            options.quiet = true;
        } else if (argument == "-v" || argument == "--verbose") {
            options.verbose = true;
        } else if (argument == "--no-output") {
            noOutput = true;
        } else if (reader.Value(argument, "--output", &value) ||
                   reader.Value(argument, "-o", &value)) {
            if (repeated("--output")) {
                return fail(Twice("the output (-o, --output)"));
            }
            if (value.empty()) {
                return fail(reader.error.empty() ? "the output path is empty" : reader.error);
            }
            options.output = value;
            sawOutput = true;
        } else if (reader.Value(argument, "--fps", &value)) {
            if (repeated("--fps")) {
                return fail(Twice("--fps"));
            }
            std::string error = reader.error;
            std::optional<FrameRate> rate =
                error.empty() ? ParseFrameRate(value, &error) : std::nullopt;
            if (!rate) {
                return fail(error);
            }
            options.rate = *rate;
        } else if (reader.Value(argument, "--size", &value)) {
            if (repeated("--size")) {
                return fail(Twice("--size"));
            }
            if (!reader.error.empty()) {
                return fail(reader.error);
            }
            int w = 0, h = 0;
            if (!ParseSize(value, &w, &h)) {
                return fail("size \"" + value + "\": expected WIDTHxHEIGHT, such as 1920x1080");
            }
            if (IsOfferedSize(w, h)) {
                options.width = w;
                options.height = h;
            } else if (w >= MIN_OUTPUT_WIDTH && w <= MAX_OUTPUT_WIDTH && h >= MIN_OUTPUT_HEIGHT &&
                       h <= MAX_OUTPUT_HEIGHT) {
                options.outputWidth = w;
                options.outputHeight = h;
            } else {
                return fail("size " + value + ": a frame from " + std::to_string(MIN_OUTPUT_WIDTH) +
                            "x" + std::to_string(MIN_OUTPUT_HEIGHT) + " to " +
                            std::to_string(MAX_OUTPUT_WIDTH) + "x" +
                            std::to_string(MAX_OUTPUT_HEIGHT));
            }
        } else if (reader.Value(argument, "--depth", &value)) {
            if (repeated("--depth")) {
                return fail(Twice("--depth"));
            }
            if (!reader.error.empty()) {
                return fail(reader.error);
            }
            if (value != "16" && value != "32") {
                return fail("depth \"" + value + "\": 16 or 32 bits");
            }
            options.depth = std::stoi(value);
        } else if (reader.Value(argument, "--start", &value) ||
                   reader.Value(argument, "--end", &value) ||
                   reader.Value(argument, "--at", &value)) {
            std::string error = reader.error;
            const bool isEnd = argument.rfind("--end", 0) == 0;
            const bool isAt = argument.rfind("--at", 0) == 0;
            const char* name = isAt ? "--at" : isEnd ? "--end" : "--start";
            if (repeated(name)) {
                return fail(Twice(name));
            }
            std::optional<int64_t> micros =
                error.empty()
                    ? ParseMicroseconds(value, isEnd ? LATEST_END_SECONDS : LATEST_MOMENT_SECONDS,
                                        &error)
                    : std::nullopt;
            if (!micros) {
                return fail(error);
            }
            if (isAt) {
                options.atMicros = micros;
            } else if (isEnd) {
                options.endMicros = micros;
                sawEnd = true;
            } else {
                options.startMicros = *micros;
                sawStart = true;
            }
        } else if (reader.Value(argument, "--device", &value)) {
            if (repeated("--device")) {
                return fail(Twice("--device"));
            }
            if (!reader.error.empty()) {
                return fail(reader.error);
            }
            const std::string kind = Lower(value);
            if (kind == "auto") {
                options.device = DeviceChoice::AUTO;
            } else if (kind == "software") {
                options.device = DeviceChoice::SOFTWARE;
            } else if (kind == "gpu") {
                options.device = DeviceChoice::GPU;
            } else if (kind == "none") {
                options.device = DeviceChoice::NONE;
            } else {
                return fail("device \"" + value + "\": software, gpu, auto or none");
            }
        } else if (reader.Value(argument, "--look", &value) ||
                   reader.Value(argument, "--internal", &value) ||
                   reader.Value(argument, "--msaa", &value) ||
                   reader.Value(argument, "--colour", &value)) {
            std::string error = reader.error;
            const std::string name = argument.substr(0, argument.find('='));
            const bool parsed =
                error.empty() &&
                (name == "--look" ? host::ParseLook(value, &presentation.look, &error)
                 : name == "--internal"
                     ? host::ParseInternalResolution(value, &presentation.internal, &error)
                 : name == "--msaa" ? host::ParseSamples(value, &presentation.samples, &error)
                                    : host::ParseColour(value, &presentation.trueColour, &error));
            if (!parsed) {
                return fail(error);
            }
        } else if (reader.Value(argument, "--blur", &value) ||
                   reader.Value(argument, "--jobs", &value)) {
            const bool isBlur = argument.rfind("--blur", 0) == 0;
            const char* name = isBlur ? "--blur" : "--jobs";
            if (repeated(name)) {
                return fail(Twice(name));
            }
            if (!reader.error.empty()) {
                return fail(reader.error);
            }
            const int limit = isBlur ? MAX_BLUR : MAX_JOBS;
            const std::optional<int> count = ParseCount(value, limit);
            if (!count) {
                return fail(std::string(isBlur ? "blur" : "jobs") + " \"" + value + "\": 1 to " +
                            std::to_string(limit) + (isBlur ? " sub-frames" : " processes"));
            }
            (isBlur ? options.blur : options.jobs.emplace()) = *count;
        } else if (reader.Value(argument, "--codec", &value) ||
                   reader.Value(argument, "--crf", &value) ||
                   reader.Value(argument, "--chroma", &value)) {
            const std::string name = argument.substr(0, argument.find('='));
            if (repeated(name)) {
                return fail(Twice(name));
            }
            std::string error = reader.error;
            VideoRequest& request = options.videoRequest;
            const bool parsed =
                error.empty() &&
                (name == "--codec" ? (request.codec = ParseVideoCodec(value, &error)).has_value()
                 : name == "--crf" ? (request.crf = ParseCrf(value, &error)).has_value()
                                   : (request.chroma = ParseChroma(value, &error)).has_value());
            if (!parsed) {
                return fail(error);
            }
        } else if (reader.Value(argument, "--job", &value)) {
            // Not for users: the tool starts its jobs with it.
            JobPart part;
            char end = 0;
            if (repeated("--job") ||
                std::sscanf(value.c_str(), "%d/%d%c", &part.index, &part.count, &end) != 2 ||
                part.count < 1 || part.count > MAX_JOBS || part.index < 0 ||
                part.index >= part.count) {
                return fail("--job \"" + value + "\": INDEX/COUNT");
            }
            options.part = part;
        } else if (!argument.empty() && argument[0] == '-') {
            return fail("unknown option " + argument + " (see --help)");
        } else {
            return fail("unexpected argument \"" + argument + "\" (the output goes after -o)");
        }
        if (!reader.error.empty()) {
            return fail(reader.error);
        }
    }

    options.presentation = presentation.Resolve();
    if (options.outputWidth > 0) {
        // The picture as large as the frame takes it: native resolution fills its 4:3 area.
        options.presentation.nativeAreaWidth = options.outputWidth;
        options.presentation.nativeAreaHeight = options.outputHeight;
        if (!presentation.internal) {
            options.presentation.internal = host::InternalResolution{1, true};
        }
    }

    // The output and what it holds.
    if (noOutput && sawOutput) {
        return fail("--no-output and -o exclude each other");
    }
    if (options.part) {
        if (noOutput || sawOutput || options.atMicros) {
            return fail("a job writes its frames to the tool that started it");
        }
        options.outputKind = OutputKind::JOB_STREAM;
    } else if (noOutput) {
        options.outputKind = OutputKind::NONE;
    } else if (!sawOutput) {
        return fail("no output: give -o with a folder, a .png file (with --at) or a video file "
                    "(see --help)");
    } else {
        const std::string extension = ExtensionOf(options.output);
        if (extension == ".png") {
            options.outputKind = OutputKind::PNG_FILE;
        } else if (std::find(std::begin(VIDEO_EXTENSIONS), std::end(VIDEO_EXTENSIONS), extension) !=
                   std::end(VIDEO_EXTENSIONS)) {
            options.outputKind = OutputKind::VIDEO;
            options.videoExtension = extension;
        } else if (LooksLikeFileType(extension)) {
            return fail("output \"" + options.output + "\": unknown kind " + extension +
                        "; use a folder (end it with / if its name has a dot), a .png file or "
                        "a .mp4, .mkv, .webm, .mov or .avi video");
        } else {
            options.outputKind = OutputKind::PNG_FOLDER;
        }
    }

    const VideoRequest& request = options.videoRequest;
    if (options.outputKind != OutputKind::VIDEO && options.outputKind != OutputKind::JOB_STREAM &&
        (request.codec || request.crf || request.chroma)) {
        return fail("--codec, --crf and --chroma are for a video output");
    }
    if (options.outputKind == OutputKind::VIDEO &&
        !ResolveVideoFormat(request, options.videoExtension, options.FrameWidth(),
                            options.FrameHeight(), &options.video, &value)) {
        return fail(value);
    }

    // The frames.
    if (options.atMicros) {
        if (sawStart || sawEnd) {
            return fail("--at takes one frame; it excludes --start and --end");
        }
    } else if (options.outputKind == OutputKind::PNG_FILE) {
        return fail("a .png output holds one frame: add --at TIME, or name a folder for a "
                    "sequence of frames");
    } else {
        if (options.startMicros > LATEST_MOMENT_SECONDS * 1000000) {
            return fail("--start lies after the show's end");
        }
        if (options.endMicros && *options.endMicros <= options.startMicros) {
            return fail("--end must come after --start");
        }
        const CapturePlan plan = options.Plan();
        if (plan.PlannedFrames() == std::optional<uint64_t>(0)) {
            return fail("no frame of the rate lies between --start and --end");
        }
        if (plan.ExpectedFrames() == 0) {
            return fail("--start lies after the show's end (its last frame, the first after "
                        "118 s)");
        }
    }
    return parsed;
}

} // namespace capture
