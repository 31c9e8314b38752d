// lumenfall-capture as a user runs it: the program drawn offscreen on Mesa's software rasteriser,
// frames compared with the scenes' reference pictures, the same moment reached in different
// ways, the whole show's frame count, a short video played back, and every kind of failure
// ending with an error, a non-zero status and nothing half-written.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/gl_test_support.h"
#include "support/scratch_folder.h"
#include "support/show_rig.h"

extern char** environ;

namespace {

const std::string CAPTURE = std::string(LUMENFALL_BIN_DIR) + "/lumenfall-capture";

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

using test_files::ScratchFolder;

struct Outcome {
    int status = -1;
    std::string output; // standard output
    std::string errors; // standard error
};

// Runs the capture tool in `folder` with the given arguments; `environment` is prefixed as
// NAME=value words.
Outcome Capture(const ScratchFolder& scratch, const std::vector<std::string>& arguments,
                const std::string& environment = "", const std::string& folder = "") {
    std::string command = "cd " + Quote(folder.empty() ? scratch.path : folder) + " && env " +
                          environment + " " + Quote(CAPTURE);
    for (const std::string& argument : arguments) {
        command += " " + Quote(argument);
    }
    const std::string out = scratch / ".out", err = scratch / ".err";
    command += " >" + Quote(out) + " 2>" + Quote(err);
    const int raw = std::system(command.c_str());
    Outcome outcome;
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    outcome.output = ReadFile(out);
    outcome.errors = ReadFile(err);
    unlink(out.c_str());
    unlink(err.c_str());
    return outcome;
}

std::vector<BYTE> Pixels(const std::string& path, int* width = nullptr, int* height = nullptr) {
    int w = 0, h = 0;
    std::vector<BYTE> rgba;
    EXPECT_TRUE(show_test::LoadPng(path, w, h, rgba)) << path;
    if (width != nullptr) {
        *width = w;
    }
    if (height != nullptr) {
        *height = h;
    }
    return rgba;
}

// Mean difference per colour channel over two pictures of one size.
double MeanDifference(const std::vector<BYTE>& a, const std::vector<BYTE>& b) {
    EXPECT_EQ(a.size(), b.size());
    double total = 0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); i += 4) {
        for (size_t c = 0; c < 3; ++c) {
            total += std::abs(int(a[i + c]) - int(b[i + c]));
        }
    }
    return a.empty() ? 1e9 : total / double(a.size() / 4 * 3);
}

bool HaveFfmpeg() {
    return std::system("command -v ffmpeg >/dev/null 2>&1") == 0;
}

// The video's frames picked by `select` (an ffmpeg select expression) as PNG files named by
// `pattern`. The conversion to RGB follows the video's colour tags; the tags are then dropped,
// since a PNG carrying the BT.709 transfer gets a gAMA chunk that libpng's reader would apply.
void DecodeFrames(const std::string& video, const std::string& select, const std::string& pattern) {
    std::system(("ffmpeg -v error -i " + Quote(video) + " -vf 'select=" + select +
                 ",format=rgb24,setparams=color_trc=unknown:color_primaries=unknown' -vsync 0 -y " +
                 Quote(pattern))
                    .c_str());
}

// ---- Pictures -----------------------------------------------------------------------------------

// The scene tests' reference pictures (tests/data/scenes, 640 x 480 x 16 frames at half size) and
// their tolerance: channel differences up to 12 are rounding, a few edges may fall differently,
// and the mean must stay within half a level.
struct Moment {
    const char* name;
    const char* at;
};
constexpr Moment MOMENTS[] = {{"title_3s", "3"},     {"title_8s", "8"},     {"swarm_20s", "20"},
                              {"swarm_27s", "27"},   {"planes_40s", "40"},  {"planes_46s", "46.45"},
                              {"rosette_55s", "55"}, {"rosette_64s", "64"}, {"finale_85s", "85"},
                              {"finale_105s", "105"}};

TEST(CaptureProgram, ChosenMomentsOfEachSceneLookAsTheirReferencePictures) {
    ScratchFolder scratch;
    for (const Moment& moment : MOMENTS) {
        SCOPED_TRACE(moment.name);
        const std::string frame = scratch / (std::string(moment.name) + ".png");
        const Outcome outcome =
            Capture(scratch, {"--device", "software", "--at", moment.at, "-o", frame});
        ASSERT_EQ(outcome.status, 0) << outcome.errors;
        int width = 0, height = 0;
        const std::vector<BYTE> captured = Pixels(frame, &width, &height);
        ASSERT_EQ(width, 640);
        ASSERT_EQ(height, 480);
        const std::vector<BYTE> half = show_test::HalveRgba(captured, 640, 480);
        const std::vector<BYTE> reference =
            Pixels(std::string(LUMENFALL_TEST_DATA) + "/scenes/" + moment.name + ".png");
        size_t changed = 0;
        for (size_t p = 0; p + 3 < half.size() && p + 3 < reference.size(); p += 4) {
            bool differs = false;
            for (size_t c = 0; c < 3; ++c) {
                differs = differs || std::abs(int(half[p + c]) - int(reference[p + c])) > 12;
            }
            changed += differs ? 1 : 0;
        }
        mkdir("gl-out", 0755);
        gl_test::SavePng(std::string("gl-out/capture_") + moment.name + ".png", 320, 240, half);
        EXPECT_LE(double(changed), 0.002 * 320 * 240) << "the frame is in gl-out/";
        EXPECT_LE(MeanDifference(half, reference), 0.5) << "the frame is in gl-out/";
    }
}

TEST(CaptureProgram, TheSameMomentGivesTheSamePixelsHoweverItIsReached) {
    ScratchFolder scratch;
    // 3 s: one frame of a run at 60, 50 and 30 frames a second, a single frame, and again.
    const std::vector<std::vector<std::string>> ways = {
        {"--fps", "60", "--start", "3", "--end", "3.001", "-o", "r60"},
        {"--fps", "50", "--start", "2.98", "--end", "3.001", "-o", "r50"},
        {"--fps", "30", "--start", "3", "--end", "3.01", "-o", "r30"},
        {"--at", "3", "-o", "at.png"},
        {"--at", "3", "-o", "again.png"},
    };
    for (const std::vector<std::string>& way : ways) {
        const Outcome outcome = Capture(scratch, way);
        ASSERT_EQ(outcome.status, 0) << outcome.errors;
    }
    EXPECT_EQ(scratch.Entries(scratch / "r50").size(), 2u); // 2.98 s and 3.0 s
    const std::vector<BYTE> reference = Pixels(scratch / "at.png");
    EXPECT_EQ(Pixels(scratch / "again.png"), reference);
    EXPECT_EQ(Pixels(scratch / "r60/frame_000001.png"), reference);
    EXPECT_EQ(Pixels(scratch / "r50/frame_000002.png"), reference);
    EXPECT_EQ(Pixels(scratch / "r30/frame_000001.png"), reference);
    EXPECT_NE(Pixels(scratch / "r50/frame_000001.png"), reference) << "the show stood still";

    // 75.0 s exactly keeps the scene of the frame before: played into, jumped to, or alone.
    ASSERT_EQ(Capture(scratch, {"--start", "74.95", "--end", "75.001", "-o", "into"}).status, 0);
    ASSERT_EQ(Capture(scratch, {"--start", "75", "--end", "75.001", "-o", "jump"}).status, 0);
    ASSERT_EQ(Capture(scratch, {"--at", "75", "-o", "75.png"}).status, 0);
    ASSERT_EQ(scratch.Entries(scratch / "into").size(), 4u);
    const std::vector<BYTE> playedInto = Pixels(scratch / "into/frame_000004.png");
    EXPECT_EQ(Pixels(scratch / "jump/frame_000001.png"), playedInto);
    EXPECT_EQ(Pixels(scratch / "75.png"), playedInto);
}

// The picture options draw in the capture what they draw in the program: the same frame as the
// program's own on the same device with the same options, at the internal size.
TEST(CaptureProgram, PictureOptionsDrawWhatTheProgramDrawsWithThem) {
    ScratchFolder scratch;
    const Outcome outcome = Capture(scratch, {"--device", "software", "--at", "8", "--look",
                                              "clean", "--internal", "2x", "-o", "clean.png"});
    ASSERT_EQ(outcome.status, 0) << outcome.errors;
    int width = 0, height = 0;
    const std::vector<BYTE> captured = Pixels(scratch / "clean.png", &width, &height);
    ASSERT_EQ(width, 1280);
    ASSERT_EQ(height, 960);

    host::PresentationOptions options = host::LookOptions(host::Look::CLEAN);
    options.internal = host::InternalResolution{2, false};
    gl_test::ScopedPresentation presentation(options);
    show_test::ShowRig rig;
    ASSERT_TRUE(rig.Ready()) << rig.Failure();
    const std::vector<BYTE> played = rig.FrameAt(8000);
    ASSERT_EQ(rig.Width(), 1280);
    EXPECT_LT(MeanDifference(captured, played), 0.05);
}

// ---- Frame counts
// ---------------------------------------------------------------------------------

// The program ends the show after the first frame whose time, (clock ms) * 0.001f, is above
// 118 s. At 60 frames a second frame 7080 is at 118000 ms, which in single precision is already
// just above 118: frames 0 to 7080. At 60000/1001 frame 7073 is the first at or past 118000 ms
// (118001.2): frames 0 to 7073. The device that draws nothing runs the program's whole timeline
// in seconds.
TEST(CaptureProgram, TheWholeShowHasItsExactFrameCount) {
    ScratchFolder scratch;
    const Outcome sixty = Capture(scratch, {"--device", "none", "--no-output", "--fps", "60"});
    ASSERT_EQ(sixty.status, 0) << sixty.errors;
    EXPECT_EQ(sixty.output, "7081 frames\n");
    const Outcome ntsc =
        Capture(scratch, {"--device", "none", "--no-output", "--fps", "60000/1001"});
    ASSERT_EQ(ntsc.status, 0) << ntsc.errors;
    EXPECT_EQ(ntsc.output, "7074 frames\n");
    const Outcome one = Capture(scratch, {"--device", "none", "--no-output", "--at", "5"});
    ASSERT_EQ(one.status, 0) << one.errors;
    EXPECT_EQ(one.output, "1 frame\n");

    // The end drawn on the real device: frames 7074 to 7080, the last a picture of the finale.
    const Outcome end = Capture(scratch, {"--start", "117.9", "-o", "end"});
    ASSERT_EQ(end.status, 0) << end.errors;
    const std::vector<std::string> files = scratch.Entries(scratch / "end");
    ASSERT_EQ(files.size(), 7u);
    EXPECT_EQ(files.back(), "frame_000007.png");
    ASSERT_EQ(Capture(scratch, {"--at", "118", "-o", "118.png"}).status, 0);
    EXPECT_EQ(Pixels(scratch / "end/frame_000007.png"), Pixels(scratch / "118.png"));
}

// ---- Video
// ----------------------------------------------------------------------------------------

// The whole show to video, at 30 frames a second to keep the test short: the video holds every
// frame, and frames decoded at chosen moments of each scene show what the program draws there.
TEST(CaptureProgram, TheWholeShowAsAVideoPlaysBackItsFrames) {
    if (!HaveFfmpeg()) {
        GTEST_SKIP() << "ffmpeg is not installed";
    }
    ScratchFolder scratch;
    const Outcome outcome = Capture(scratch, {"-q", "--fps", "30", "-o", "show.mp4"});
    ASSERT_EQ(outcome.status, 0) << outcome.errors;
    EXPECT_EQ(scratch.Entries(), std::vector<std::string>{"show.mp4"});

    const std::string count = scratch / "count.txt";
    std::system(("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                 "stream=nb_read_frames,width,height,r_frame_rate -of csv=p=0 " +
                 Quote(scratch / "show.mp4") + " >" + Quote(count))
                    .c_str());
    // Frames 0 to 3540: frame 3540 is at 118000 ms, already above 118 s in single precision.
    EXPECT_EQ(ReadFile(count), "640,480,30/1,3541\n");

    // Frame n of the video against the frame drawn alone at n / 30 s. The video's colour
    // subsampling blurs edges, so the mean difference is what is checked; a frame from another
    // moment differs far more.
    const struct {
        int index;
        const char* at;
    } moments[] = {{0, "0"},     {90, "3"},     {600, "20"},  {1395, "46.5"},
                   {1650, "55"}, {3150, "105"}, {3540, "118"}};
    std::string select;
    for (const auto& moment : moments) {
        select +=
            std::string(select.empty() ? "" : "+") + "eq(n\\," + std::to_string(moment.index) + ")";
    }
    DecodeFrames(scratch / "show.mp4", select, scratch / "decoded_%d.png");
    std::vector<std::vector<BYTE>> alone;
    for (size_t i = 0; i < std::size(moments); ++i) {
        SCOPED_TRACE(moments[i].at);
        const std::string path = scratch / ("alone_" + std::to_string(i) + ".png");
        ASSERT_EQ(Capture(scratch, {"--at", moments[i].at, "-o", path}).status, 0);
        alone.push_back(Pixels(path));
        const std::vector<BYTE> decoded =
            Pixels(scratch / ("decoded_" + std::to_string(i + 1) + ".png"));
        EXPECT_LT(MeanDifference(decoded, alone.back()), 2.5);
        if (i > 0) {
            EXPECT_GT(MeanDifference(decoded, alone[i - 1]), 2.5) << "the neighbour looks alike";
        }
    }
}

// "width,height,frames" of a video's first stream, as ffprobe decodes it.
std::string DecodedFrames(const ScratchFolder& scratch, const std::string& video) {
    const std::string count = scratch / "count.txt";
    std::system(("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                 "stream=width,height,nb_read_frames -of csv=p=0 " +
                 Quote(video) + " >" + Quote(count))
                    .c_str());
    std::string text = ReadFile(count);
    unlink(count.c_str());
    return text;
}

// Each codec by name, in a container it goes in: six frames of 640 x 480 come back.
TEST(CaptureProgram, EachCodecsVideoDecodesToItsFramesAndSize) {
    if (!HaveFfmpeg()) {
        GTEST_SKIP() << "ffmpeg is not installed";
    }
    ScratchFolder scratch;
    const std::vector<std::vector<std::string>> videos = {
        {"--codec", "h264", "-o", "a.mp4"},
        {"--codec", "h265", "-o", "b.mp4"},
        {"--codec", "vp9", "-o", "c.webm"},
        {"--codec", "av1", "-o", "d.mkv"},
        {"--codec", "ffv1", "-o", "e.mkv"},
        {"--codec", "prores", "-o", "f.mov"},
        {"--codec", "h264", "--chroma", "444", "--crf", "0", "-o", "g.mkv"},
    };
    for (std::vector<std::string> video : videos) {
        SCOPED_TRACE(video[1]);
        video.insert(video.begin(), {"--start", "20", "--end", "20.1", "--jobs", "1"});
        const Outcome outcome = Capture(scratch, video);
        ASSERT_EQ(outcome.status, 0) << outcome.errors;
        EXPECT_EQ(DecodedFrames(scratch, scratch / video.back()), "640,480,6\n");
    }

    // The lossless master holds the frames exactly.
    ASSERT_EQ(Capture(scratch, {"--at", "20.05", "-o", "alone.png"}).status, 0);
    DecodeFrames(scratch / "e.mkv", "eq(n\\,3)", scratch / "lossless.png");
    EXPECT_EQ(Pixels(scratch / "lossless.png"), Pixels(scratch / "alone.png"));
}

// ---- Frames of any size -------------------------------------------------------------------------

// The rows of column `x` where black turns to colour or back, from the top.
std::vector<int> BlackEdges(const std::vector<BYTE>& rgba, int width, int height, int x) {
    std::vector<int> edges;
    bool wasBlack = true;
    for (int y = 0; y < height; ++y) {
        const BYTE* pixel = &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
        const bool black = pixel[0] == 0 && pixel[1] == 0 && pixel[2] == 0;
        if (black != wasBlack) {
            edges.push_back(y);
            wasBlack = black;
        }
    }
    return edges;
}

// A 1920 x 1080 frame holds the 4:3 picture drawn at 1440 x 1080, centred to the pixel, black on
// both sides; the show's own letterbox lies where it lies in the picture drawn four times the
// mode's size, in proportion, to within the row that an edge falls in. Where the frame's 4:3 area
// is a whole multiple of the mode the picture is that internal resolution's exactly, and a frame
// smaller than the mode holds the mode's picture averaged down, never a smaller drawing.
TEST(CaptureProgram, AFrameOfAnySizeHoldsThePictureCentred) {
    ScratchFolder scratch;
    const struct {
        const char* file;
        std::vector<std::string> options;
    } pictures[] = {{"wide.png", {"--size", "1920x1080"}},  {"fourfold.png", {"--internal", "4x"}},
                    {"double.png", {"--size", "1280x960"}}, {"twice.png", {"--internal", "2x"}},
                    {"small.png", {"--size", "320x240"}},   {"mode.png", {}}};
    for (const auto& picture : pictures) {
        std::vector<std::string> arguments = {"--at", "20", "-o", picture.file};
        arguments.insert(arguments.end(), picture.options.begin(), picture.options.end());
        const Outcome outcome = Capture(scratch, arguments);
        ASSERT_EQ(outcome.status, 0) << picture.file << ": " << outcome.errors;
    }

    int width = 0, height = 0;
    const std::vector<BYTE> wide = Pixels(scratch / "wide.png", &width, &height);
    ASSERT_EQ(width, 1920);
    ASSERT_EQ(height, 1080);
    size_t sideLit = 0, edgeBlack = 0;
    for (int y = 0; y < 1080; ++y) {
        for (int x = 0; x < 1920; ++x) {
            if (x >= 240 && x < 1680) {
                continue;
            }
            const BYTE* pixel = &wide[(size_t(y) * 1920 + size_t(x)) * 4];
            sideLit += pixel[0] != 0 || pixel[1] != 0 || pixel[2] != 0 ? 1 : 0;
        }
        // At 20 s the swarm's blue reaches the picture's left and right edges between the bars.
        for (const int x : {240, 1679}) {
            const BYTE* pixel = &wide[(size_t(y) * 1920 + size_t(x)) * 4];
            edgeBlack += y >= 300 && y < 780 && pixel[2] == 0 ? 1 : 0;
        }
    }
    EXPECT_EQ(sideLit, 0u) << "the sides are black";
    EXPECT_EQ(edgeBlack, 0u) << "the picture reaches columns 240 and 1679";

    int fourWidth = 0, fourHeight = 0;
    const std::vector<BYTE> fourfold = Pixels(scratch / "fourfold.png", &fourWidth, &fourHeight);
    ASSERT_EQ(fourHeight, 1920);
    const std::vector<int> edges = BlackEdges(wide, 1920, 1080, 960);
    const std::vector<int> fine = BlackEdges(fourfold, fourWidth, fourHeight, 1280);
    // The bar, the thin line under it, the picture, and the same mirrored at the bottom.
    ASSERT_EQ(edges.size(), 6u);
    ASSERT_EQ(fine.size(), edges.size());
    for (size_t i = 0; i < edges.size(); ++i) {
        EXPECT_LT(std::abs(edges[i] - fine[i] * 1080.0 / 1920.0), 1.0)
            << "edge " << i << ": row " << edges[i] << " of 1080, " << fine[i] << " of 1920";
    }

    EXPECT_EQ(Pixels(scratch / "double.png"), Pixels(scratch / "twice.png"));

    const std::vector<BYTE> mode = Pixels(scratch / "mode.png");
    const std::vector<BYTE> small = Pixels(scratch / "small.png", &width, &height);
    ASSERT_EQ(width, 320);
    ASSERT_EQ(height, 240);
    size_t off = 0;
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            for (size_t c = 0; c < 3; ++c) {
                int sum = 0;
                for (int d = 0; d < 4; ++d) {
                    sum += mode[(size_t(2 * y + d / 2) * 640 + size_t(2 * x + d % 2)) * 4 + c];
                }
                off += small[(size_t(y) * 320 + size_t(x)) * 4 + c] != (sum + 2) / 4 ? 1 : 0;
            }
        }
    }
    EXPECT_EQ(off, 0u);

    // Jobs draw frames of any size as one process does.
    const std::vector<std::string> stretch = {"--size", "1280x720", "--start",
                                              "20",     "--end",    "20.05"};
    for (const char* jobs : {"1", "2"}) {
        std::vector<std::string> arguments = stretch;
        arguments.insert(arguments.end(), {"--jobs", jobs, "-o", std::string("jobs") + jobs});
        ASSERT_EQ(Capture(scratch, arguments).status, 0) << jobs;
    }
    const std::vector<std::string> frames = scratch.Entries(scratch / "jobs1");
    ASSERT_EQ(frames.size(), 3u);
    for (const std::string& frame : frames) {
        EXPECT_EQ(Pixels(scratch / ("jobs2/" + frame), &width, &height),
                  Pixels(scratch / ("jobs1/" + frame)))
            << frame;
        EXPECT_EQ(width, 1280);
    }
}

// The frames are a function of their time alone: jobs that each draw every other frame give the
// frames one job draws, across the scene change at 75 s, where the scene of the frame before
// decides.
TEST(CaptureProgram, TwoJobsDrawTheSameFramesAsOne) {
    ScratchFolder scratch;
    const std::vector<std::string> stretch = {"--start", "74.9", "--end", "75.2"};
    auto with = [&stretch](std::vector<std::string> more) {
        more.insert(more.begin(), stretch.begin(), stretch.end());
        return more;
    };
    const Outcome one = Capture(scratch, with({"--jobs", "1", "-o", "one"}));
    ASSERT_EQ(one.status, 0) << one.errors;
    const Outcome two = Capture(scratch, with({"--jobs", "2", "-o", "two"}));
    ASSERT_EQ(two.status, 0) << two.errors;
    const std::vector<std::string> frames = scratch.Entries(scratch / "one");
    ASSERT_EQ(frames.size(), 18u);
    ASSERT_EQ(scratch.Entries(scratch / "two"), frames);
    for (const std::string& frame : frames) {
        EXPECT_EQ(Pixels(scratch / ("two/" + frame)), Pixels(scratch / ("one/" + frame))) << frame;
    }
    EXPECT_NE(Pixels(scratch / ("one/" + frames[5])), Pixels(scratch / ("one/" + frames[6])));

    if (HaveFfmpeg()) {
        const Outcome video = Capture(scratch, with({"--jobs", "3", "-o", "three.mkv"}));
        ASSERT_EQ(video.status, 0) << video.errors;
        EXPECT_EQ(DecodedFrames(scratch, scratch / "three.mkv"), "640,480,18\n");
    }

    // A job that fails says why, and takes the capture with it.
    mkdir((scratch / "empty").c_str(), 0755);
    std::ofstream(scratch / "registry.ini")
        << "[HKEY_LOCAL_MACHINE\\Software\\Quorvane\\DirectX]\nKestrel Samples Path=/nowhere\n";
    const Outcome missing =
        Capture(scratch, with({"--jobs", "2", "-o", "lost.mkv"}),
                "LUMENFALL_REGISTRY=" + Quote(scratch / "registry.ini"), scratch / "empty");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.errors.find("of 2 failed"), std::string::npos) << missing.errors;
    EXPECT_NE(missing.errors.find("missing media"), std::string::npos) << missing.errors;
    EXPECT_TRUE(scratch.Entries(scratch / "empty").empty());
}

// Motion blur: a moment where nothing moves comes back as it was; a moving one differs from its
// plain frame and lies, channel by channel, between its sixteen sub-frames (at 60 frames a second
// those are the frames of 960 a second).
TEST(CaptureProgram, MotionBlurAveragesTheSubFramesOfEachFrame) {
    ScratchFolder scratch;
    for (const char* name : {"still_blur.png", "still.png", "moving_blur.png", "moving.png"}) {
        const bool blur = std::strstr(name, "blur") != nullptr;
        std::vector<std::string> arguments = {"--at", name[0] == 's' ? "117.9" : "20", "-o", name};
        if (blur) {
            arguments.insert(arguments.end(), {"--blur", "16"});
        }
        ASSERT_EQ(Capture(scratch, arguments).status, 0) << name;
    }
    EXPECT_EQ(Pixels(scratch / "still_blur.png"), Pixels(scratch / "still.png"));

    ASSERT_EQ(
        Capture(scratch, {"--fps", "960", "--start", "19.984375", "--end", "20.0001", "-o", "subs"})
            .status,
        0);
    std::vector<std::vector<BYTE>> subFrames;
    for (const std::string& file : scratch.Entries(scratch / "subs")) {
        subFrames.push_back(Pixels(scratch / ("subs/" + file)));
    }
    ASSERT_EQ(subFrames.size(), 16u);
    const std::vector<BYTE> blurred = Pixels(scratch / "moving_blur.png");
    EXPECT_EQ(subFrames.back(), Pixels(scratch / "moving.png"));
    EXPECT_GT(MeanDifference(blurred, subFrames.back()), 0.5);
    size_t outside = 0;
    for (size_t i = 0; i < blurred.size(); ++i) {
        BYTE low = 255, high = 0;
        for (const std::vector<BYTE>& sub : subFrames) {
            low = std::min(low, sub[i]);
            high = std::max(high, sub[i]);
        }
        outside += blurred[i] < low || blurred[i] > high ? 1 : 0;
    }
    EXPECT_EQ(outside, 0u);
}

TEST(CaptureProgram, TheEglDevicesAreListed) {
    ScratchFolder scratch;
    const Outcome outcome = Capture(scratch, {"--list-devices"});
    ASSERT_EQ(outcome.status, 0) << outcome.errors;
    EXPECT_EQ(outcome.output.rfind("EGL devices: ", 0), 0u) << outcome.output;
    EXPECT_NE(outcome.output.find(": software: llvmpipe"), std::string::npos) << outcome.output;
}

// The process ids whose parent is `parent`.
std::vector<pid_t> ChildrenOf(pid_t parent) {
    std::vector<pid_t> children;
    const std::string list = ReadFile("/proc/" + std::to_string(parent) + "/task/" +
                                      std::to_string(parent) + "/children");
    std::istringstream ids(list);
    pid_t id = 0;
    while (ids >> id) {
        children.push_back(id);
    }
    return children;
}

// Starts the capture tool with `arguments` in a process group of its own, as a shell starts a
// command (a terminal's Ctrl-C reaches the whole group: the tool, its jobs and ffmpeg), with
// `path` before the PATH when given, and with SIGHUP ignored when `nohup`.
pid_t StartCapture(const std::vector<std::string>& arguments, const std::string& path = "",
                   bool nohup = false) {
    std::vector<std::string> argv = {CAPTURE};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (std::string& argument : argv) {
        pointers.push_back(argument.data());
    }
    pointers.push_back(nullptr);
    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        variables.emplace_back(*variable);
        if (!path.empty() && variables.back().rfind("PATH=", 0) == 0) {
            variables.back().insert(5, path + ":");
        }
    }
    std::vector<char*> environment;
    for (std::string& variable : variables) {
        environment.push_back(variable.data());
    }
    environment.push_back(nullptr);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    // An ignored signal stays ignored across exec, as nohup relies on.
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGHUP, nohup ? &ignore : nullptr, &previous);
    pid_t pid = -1;
    const int result = posix_spawn(&pid, CAPTURE.c_str(), nullptr, &attributes, pointers.data(),
                                   environment.data());
    sigaction(SIGHUP, &previous, nullptr);
    posix_spawnattr_destroy(&attributes);
    EXPECT_EQ(result, 0);
    return result == 0 ? pid : -1;
}

// Waits for the capture started as `pid` to end within `limit`; one that does not is killed with
// its whole group, so that a failing test does not hang.
bool EndsWithin(pid_t pid, std::chrono::seconds limit, int* status) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid, status, WNOHANG) == pid) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(-pid, SIGKILL);
    waitpid(pid, status, 0);
    return false;
}

// Waits up to a minute for something to appear in the folder (a video's temporary file).
bool SomethingAppears(const ScratchFolder& scratch) {
    for (int i = 0; i < 1200 && scratch.Entries().empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return !scratch.Entries().empty();
}

// Ctrl-C, a request to stop, a closed terminal and the quit key alike: at once, while the device
// starts (the tool handles them before it makes anything), as the jobs start and while they
// draw; sent to the tool alone, or to its whole process group as a terminal's Ctrl-C is (ffmpeg
// and the jobs then fail under the tool, which must still say it was interrupted). Nothing is
// left: no file, no job, and the signal is obeyed well before the capture would have ended.
TEST(CaptureProgram, AnInterruptedVideoLeavesNothingBehind) {
    if (!HaveFfmpeg()) {
        GTEST_SKIP() << "ffmpeg is not installed";
    }
    // An encoder far slower than the drawing (about a frame a second): the tool waits on it
    // nearly all the time, the jobs' frames always ready, which is when a signal is easiest to
    // overlook.
    const ScratchFolder slowBin;
    std::ofstream(slowBin / "ffmpeg")
        << "#!/bin/sh\n"
        << "[ \"$2\" = -encoders ] && exec printf ' V..... = Video\\n ------\\n V....D libx264 "
           "x\\n'\n"
        << "while [ \"$(head -c 65536 | wc -c)\" -gt 0 ]; do sleep 0.07; done\n";
    chmod((slowBin / "ffmpeg").c_str(), 0755);

    enum class When { AT_ONCE, JOBS_STARTED, JOBS_DRAWING };
    struct Case {
        int signal;
        int jobs;
        When when;
        bool group;
        bool slowEncoder;
    };
    const Case cases[] = {
        {SIGINT, 1, When::AT_ONCE, false, false},
        {SIGTERM, 1, When::AT_ONCE, false, false},
        {SIGHUP, 1, When::AT_ONCE, false, false},
        {SIGQUIT, 1, When::AT_ONCE, false, false},
        {SIGINT, 1, When::AT_ONCE, true, false},
        {SIGTERM, 2, When::AT_ONCE, false, false},
        {SIGTERM, 2, When::JOBS_STARTED, false, false},
        {SIGTERM, 2, When::JOBS_DRAWING, false, false},
        {SIGTERM, 2, When::JOBS_DRAWING, false, true},
        {SIGINT, 2, When::AT_ONCE, true, false},
        {SIGINT, 2, When::JOBS_DRAWING, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(strsignal(c.signal)) + ", jobs " + std::to_string(c.jobs) +
                     ", moment " + std::to_string(int(c.when)) + (c.group ? ", group" : "") +
                     (c.slowEncoder ? ", slow encoder" : ""));
        ScratchFolder scratch;
        const pid_t pid = StartCapture(
            {"-q", "--end", "60", "--jobs", std::to_string(c.jobs), "-o", scratch / "long.mp4"},
            c.slowEncoder ? slowBin.path : "");
        ASSERT_GT(pid, 0);
        // The video's temporary file is made after the handlers are in place: from then on a
        // signal must end the capture cleanly, whatever it is doing.
        ASSERT_TRUE(SomethingAppears(scratch)) << "no temporary video within a minute";
        std::vector<pid_t> jobs;
        for (int i = 0; c.when != When::AT_ONCE && i < 1200; ++i) {
            for (pid_t child : ChildrenOf(pid)) {
                if (ReadFile("/proc/" + std::to_string(child) + "/cmdline").find("--job") !=
                    std::string::npos) {
                    jobs.push_back(child);
                }
            }
            if (jobs.size() == size_t(c.jobs)) {
                break;
            }
            jobs.clear();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (c.when == When::JOBS_DRAWING) {
            std::this_thread::sleep_for(std::chrono::seconds(2));
        }
        kill(c.group ? -pid : pid, c.signal);
        // Sixty seconds of the show take far longer than this on two processors.
        int status = 0;
        ASSERT_TRUE(EndsWithin(pid, std::chrono::seconds(20), &status));
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 130);
        EXPECT_TRUE(scratch.Entries().empty()) << scratch.Entries().front();
        for (pid_t job : jobs) {
            EXPECT_NE(kill(job, 0), 0) << "job " << job << " still runs";
        }
        // The stand-in encoder's own children (a shell's head and sleep) end a moment after it.
        for (int i = 0; i < 100 && kill(-pid, 0) == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        EXPECT_NE(kill(-pid, 0), 0) << "a process of the capture's group still runs";
    }
}

// Started with its hangup signal ignored (nohup), the tool leaves it so: a closed terminal does
// not end a capture meant to outlive it.
TEST(CaptureProgram, AHangupIgnoredFromTheStartStaysIgnored) {
    if (!HaveFfmpeg()) {
        GTEST_SKIP() << "ffmpeg is not installed";
    }
    ScratchFolder scratch;
    const pid_t pid = StartCapture(
        {"-q", "--start", "20", "--end", "20.5", "--jobs", "1", "-o", scratch / "kept.mp4"}, "",
        true);
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(SomethingAppears(scratch)) << "no temporary video within a minute";
    kill(pid, SIGHUP);
    int status = 0;
    ASSERT_TRUE(EndsWithin(pid, std::chrono::seconds(60), &status));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(scratch.Entries(), std::vector<std::string>{"kept.mp4"});
}

// Names the file system takes, up to its limit, though the hidden name the video grows under is
// longer than the name itself.
TEST(CaptureProgram, AVideoMayHaveTheLongestNameTheFolderTakes) {
    if (!HaveFfmpeg()) {
        GTEST_SKIP() << "ffmpeg is not installed";
    }
    ScratchFolder scratch;
    const std::string name = std::string(251, 'v') + ".mkv";
    const Outcome outcome = Capture(scratch, {"--end", "0.05", "-o", name});
    ASSERT_EQ(outcome.status, 0) << outcome.errors;
    EXPECT_EQ(scratch.Entries(), std::vector<std::string>{name});
}

// ---- Failures
// ---------------------------------------------------------------------------------------

TEST(CaptureProgram, BadCommandLinesAndUnwritableOutputsFailWithNothingLeftBehind) {
    ScratchFolder scratch;
    Outcome outcome = Capture(scratch, {"--fps", "0", "-o", "frames"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.errors.find("lumenfall-capture: frame rate"), std::string::npos);
    outcome = Capture(scratch, {"--size", "1280x100", "-o", "show.mp4"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_TRUE(scratch.Entries().empty());
    EXPECT_EQ(Capture(scratch, {"--help"}).status, 0);

    // Places no file can be made, whoever runs the test.
    outcome = Capture(scratch, {"--at", "1", "-o", "/proc/lumenfall-capture-test.png"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.errors.find("cannot write in /proc"), std::string::npos) << outcome.errors;
    std::ofstream(scratch / "plain") << "a file";
    outcome = Capture(scratch, {"--start", "5", "--end", "6", "-o", "plain/frames"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.errors.find("cannot make the output folder plain/frames"), std::string::npos)
        << outcome.errors;

    // An existing picture stays as it was unless -y is given.
    std::ofstream(scratch / "keep.png") << "not a picture";
    outcome = Capture(scratch, {"--at", "1", "-o", "keep.png"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.errors.find("give -y"), std::string::npos) << outcome.errors;
    EXPECT_EQ(ReadFile(scratch / "keep.png"), "not a picture");
    ASSERT_EQ(Capture(scratch, {"-y", "--at", "1", "-o", "keep.png"}).status, 0);
    EXPECT_EQ(Pixels(scratch / "keep.png").size(), size_t(640 * 480 * 4));
    EXPECT_EQ(scratch.Entries(), (std::vector<std::string>{"keep.png", "plain"}));
}

TEST(CaptureProgram, MissingMediaOrFfmpegIsReportedAndNothingIsWritten) {
    ScratchFolder scratch;
    mkdir((scratch / "empty").c_str(), 0755);
    std::ofstream(scratch / "registry.ini")
        << "[HKEY_LOCAL_MACHINE\\Software\\Quorvane\\DirectX]\nKestrel Samples Path="
        << scratch / "nowhere"
        << "\n";
    Outcome outcome =
        Capture(scratch, {"--at", "5", "-o", "frame.png"},
                "LUMENFALL_REGISTRY=" + Quote(scratch / "registry.ini"), scratch / "empty");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.errors.find("missing media: 8 of the program's files"), std::string::npos)
        << outcome.errors;
    EXPECT_NE(outcome.errors.find(scratch / "nowhere/Marlow/Media"), std::string::npos)
        << outcome.errors;
    EXPECT_TRUE(scratch.Entries(scratch / "empty").empty());

    outcome =
        Capture(scratch, {"--end", "1", "-o", "show.mp4"}, "PATH=" + Quote(scratch / "empty"));
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.errors.find("ffmpeg is not installed"), std::string::npos) << outcome.errors;
    EXPECT_EQ(scratch.Entries(), (std::vector<std::string>{"empty", "registry.ini"}));

    // An encoder that takes every frame, ends well and writes nothing: no empty video.
    std::ofstream(scratch / "empty/ffmpeg")
        << "#!/bin/sh\n[ \"$2\" = -encoders ] && exec printf ' ------\\n V..... libx264 x\\n'\n"
        << "exec cat >/dev/null\n";
    chmod((scratch / "empty/ffmpeg").c_str(), 0755);
    outcome = Capture(scratch, {"--end", "0.1", "-o", "show.mp4"},
                      "PATH=" + Quote(scratch / "empty") + ":/usr/bin:/bin");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.errors.find("ffmpeg ended as if it had finished, but wrote nothing"),
              std::string::npos)
        << outcome.errors;
    EXPECT_EQ(scratch.Entries(), (std::vector<std::string>{"empty", "registry.ini"}));
}

} // namespace
