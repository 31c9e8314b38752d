// Where captured frames go: the bounded queue between the program and the encoders, PNG files
// that appear whole or not at all, a folder that will not mix two captures, and the video
// output's checks and clean-up around ffmpeg.
#include <gtest/gtest.h>

#include <png.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

#include "capture/ffmpeg_process.h"
#include "capture/frame_placement.h"
#include "capture/frame_queue.h"
#include "capture/frame_writer.h"
#include "capture/motion_blur.h"
#include "capture/png_output.h"
#include "capture/stop_signals.h"
#include "capture/video_codecs.h"
#include "support/scratch_folder.h"

using namespace capture;

namespace {

Frame Gradient(int width, int height, uint64_t number) {
    Frame frame;
    frame.number = number;
    frame.width = width;
    frame.height = height;
    frame.rgba.resize(size_t(width) * size_t(height) * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* pixel = &frame.rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
            pixel[0] = uint8_t(x * 7);
            pixel[1] = uint8_t(y * 5);
            pixel[2] = uint8_t(x + y + number);
            pixel[3] = 255;
        }
    }
    return frame;
}

// The PNG's pixels as RGBA, or empty.
std::vector<uint8_t> ReadPng(const std::string& path, int* width, int* height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        return {};
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
        return {};
    }
    *width = int(image.width);
    *height = int(image.height);
    return pixels;
}

TEST(CaptureFrameQueue, TheProgramWaitsWhileEveryBufferIsTaken) {
    FrameQueue queue(2);
    Frame* first = queue.Acquire();
    Frame* second = queue.Acquire();
    first->number = 1;
    second->number = 2;
    queue.Submit(first);
    queue.Submit(second);

    std::atomic<bool> acquired{false};
    std::thread producer([&] {
        queue.Acquire();
        acquired = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(acquired) << "a third frame was handed out with two buffers";

    Frame* taken = queue.Take(); // frames come out in the order they went in
    EXPECT_EQ(taken->number, 1u);
    queue.Release(taken);
    producer.join();
    EXPECT_TRUE(acquired);
    EXPECT_EQ(queue.Take()->number, 2u);
}

TEST(CaptureFrameQueue, AFailedEncoderStopsBothSides) {
    FrameQueue queue(1);
    queue.Submit(queue.Acquire());
    std::thread producer([&] { EXPECT_EQ(queue.Acquire(), nullptr); });
    queue.Fail("disk full");
    queue.Fail("later reason");
    producer.join();
    EXPECT_TRUE(queue.Failed());
    EXPECT_EQ(queue.FailureReason(), "disk full");
    EXPECT_EQ(queue.Take(), nullptr);
}

TEST(CaptureFrameQueue, AfterCloseTheEncodersDrainWhatIsLeft) {
    FrameQueue queue(3);
    queue.Submit(queue.Acquire());
    queue.Submit(queue.Acquire());
    queue.Close();
    EXPECT_NE(queue.Take(), nullptr);
    EXPECT_NE(queue.Take(), nullptr);
    EXPECT_EQ(queue.Take(), nullptr);
}

// Sixteen sub-frames of 8-bit levels sum to at most 4080: a still picture comes back exactly, and
// every channel of a moving one lies between its lowest and highest sub-frame's.
TEST(CaptureMotionBlur, TheAverageOfStillSubFramesIsThePictureItself) {
    const Frame still = Gradient(5, 3, 7);
    SubFrameSum sum;
    for (int i = 0; i < 16; ++i) {
        sum.Add(still.rgba.data(), 5, 3, 5 * 4);
    }
    Frame average;
    sum.TakeAverage(&average);
    EXPECT_EQ(average.rgba, still.rgba);
    EXPECT_EQ(average.width, 5);

    // Rows further apart than they are long, as a presented frame's may be.
    std::vector<Frame> moving;
    for (uint64_t n = 0; n < 16; ++n) {
        moving.push_back(Gradient(6, 3, n * 37));
        std::vector<uint8_t> padded(size_t(3) * 40, 0xEE);
        for (int y = 0; y < 3; ++y) {
            std::copy_n(&moving.back().rgba[size_t(y) * 24], 24, &padded[size_t(y) * 40]);
        }
        sum.Add(padded.data(), 6, 3, 40);
    }
    sum.TakeAverage(&average);
    ASSERT_EQ(average.rgba.size(), size_t(6 * 3 * 4));
    for (size_t i = 0; i < average.rgba.size(); ++i) {
        int low = 255, high = 0;
        for (const Frame& frame : moving) {
            low = std::min<int>(low, frame.rgba[i]);
            high = std::max<int>(high, frame.rgba[i]);
        }
        EXPECT_GE(average.rgba[i], low) << i;
        EXPECT_LE(average.rgba[i], high) << i;
    }
    EXPECT_NE(average.rgba, moving.front().rgba);
}

// The picture in a frame of another size: a 4:3 picture exactly filling the middle of a wide
// frame, black and opaque around it; a picture that only fits smaller is averaged down over
// exactly the pixels each frame pixel covers; one that fits as it is is never enlarged.
TEST(CaptureFramePlacement, ThePictureFillsTheMiddleAndTheRestIsBlack) {
    const Frame picture = Gradient(144, 108, 3);
    Frame frame;
    frame.width = 192;
    frame.height = 108;
    frame.rgba.assign(16, 77); // too small, and not black: all of it is written
    PutPictureInFrame(picture.rgba.data(), 144, 108, 144 * 4, &frame);
    ASSERT_EQ(frame.rgba.size(), size_t(192 * 108 * 4));
    for (int y = 0; y < 108; ++y) {
        for (int x = 0; x < 192; ++x) {
            const uint8_t* got = &frame.rgba[(size_t(y) * 192 + size_t(x)) * 4];
            const bool inside = x >= 24 && x < 168;
            const uint8_t black[4] = {0, 0, 0, 255};
            const uint8_t* want =
                inside ? &picture.rgba[(size_t(y) * 144 + size_t(x - 24)) * 4] : black;
            for (int c = 0; c < 4; ++c) {
                ASSERT_EQ(got[c], want[c]) << x << "," << y << " channel " << c;
            }
        }
    }

    // Rows `pitch` apart, in a frame taller than wide: black above and below.
    std::vector<uint8_t> padded(size_t(80) * 60 * 4, 9);
    for (int y = 0; y < 30; ++y) {
        std::memcpy(&padded[size_t(y) * 80 * 4], &picture.rgba[size_t(y) * 144 * 4], 40 * 4);
    }
    frame.width = 40;
    frame.height = 50;
    PutPictureInFrame(padded.data(), 40, 30, 80 * 4, &frame);
    EXPECT_EQ(PictureArea(40, 30, 40, 50).y, 10);
    EXPECT_EQ(frame.rgba[(size_t(9) * 40 + 5) * 4 + 1], 0);
    EXPECT_EQ(std::memcmp(&frame.rgba[size_t(10) * 40 * 4], picture.rgba.data(), 40 * 4), 0);
    EXPECT_EQ(frame.rgba[(size_t(40) * 40 + 5) * 4 + 1], 0);

    // Smaller than its area: centred as it is.
    const host::Letterbox small = PictureArea(64, 48, 1920, 1080);
    EXPECT_EQ(small.width, 64);
    EXPECT_EQ(small.x, (1920 - 64) / 2);
    EXPECT_EQ(small.y, (1080 - 48) / 2);
    const host::Letterbox wide = PictureArea(1440, 1080, 1920, 1080);
    EXPECT_EQ(wide.x, 240);
    EXPECT_EQ(wide.width, 1440);
}

TEST(CaptureFramePlacement, ALargerPictureIsAveragedDownToItsArea) {
    const Frame picture = Gradient(64, 48, 1);
    Frame half;
    half.width = 32;
    half.height = 24;
    PutPictureInFrame(picture.rgba.data(), 64, 48, 64 * 4, &half);
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 32; ++x) {
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < 2; ++dy) {
                    for (int dx = 0; dx < 2; ++dx) {
                        sum += picture.rgba[(size_t(2 * y + dy) * 64 + size_t(2 * x + dx)) * 4 +
                                            size_t(c)];
                    }
                }
                ASSERT_EQ(half.rgba[(size_t(y) * 32 + size_t(x)) * 4 + size_t(c)], (sum + 2) / 4)
                    << x << "," << y;
            }
        }
    }

    // By 1.6, in a wider frame: a flat colour stays flat, and a pixel split by the edge of a
    // dark patch takes the share of it that it covers.
    std::vector<uint8_t> flat(size_t(64) * 48 * 4, 200);
    for (size_t i = 0; i < 15 * 4; i += 4) {
        flat[i] = 0; // red 0 in the first row's first fifteen pixels
    }
    Frame frame;
    frame.width = 60;
    frame.height = 30;
    PutPictureInFrame(flat.data(), 64, 48, 64 * 4, &frame);
    const host::Letterbox area = PictureArea(64, 48, 60, 30);
    ASSERT_EQ(area.width, 40);
    ASSERT_EQ(area.x, 10);
    auto red = [&frame](int x, int y) { return int(frame.rgba[(size_t(y) * 60 + x) * 4]); };
    EXPECT_EQ(red(9, 0), 0);
    EXPECT_EQ(frame.rgba[size_t(9) * 4 + 3], 255);
    EXPECT_EQ(red(10, 0), 75);  // rows 0 to 1.6: dark for 1 of 1.6
    EXPECT_EQ(red(19, 0), 153); // columns 14.4 to 16: dark for 0.6 x 1 of 1.6 x 1.6
    EXPECT_EQ(red(20, 0), 200);
    EXPECT_EQ(red(10, 1), 200);
    EXPECT_EQ(frame.rgba[(size_t(1) * 60 + 10) * 4 + 1], 200);
    EXPECT_EQ(red(49, 29), 200);
    EXPECT_EQ(red(50, 0), 0);
}

TEST(CapturePngFiles, AFrameIsWrittenWholeOrNotAtAll) {
    const test_files::ScratchFolder scratch;
    const std::string& folder = scratch.path;
    const Frame frame = Gradient(37, 21, 3);
    std::string error;
    ASSERT_TRUE(SavePngFile(folder + "/frame.png", frame, PngFilter::SUB, &error)) << error;
    EXPECT_EQ(scratch.Entries(folder), std::vector<std::string>{"frame.png"}); // no temporary left

    int width = 0, height = 0;
    const std::vector<uint8_t> read = ReadPng(folder + "/frame.png", &width, &height);
    EXPECT_EQ(width, 37);
    EXPECT_EQ(height, 21);
    EXPECT_EQ(read, frame.rgba);
    struct stat info {};
    ASSERT_EQ(stat((folder + "/frame.png").c_str(), &info), 0);
    EXPECT_NE(info.st_mode & S_IROTH, 0u) << "left with the temporary file's private mode";

    EXPECT_FALSE(SavePngFile(folder + "/missing/frame.png", frame, PngFilter::NONE, &error));
    EXPECT_NE(error.find(folder + "/missing"), std::string::npos) << error;
    EXPECT_EQ(scratch.Entries(folder), std::vector<std::string>{"frame.png"});
}

// Any name the file system takes works, though the hidden temporary name beside it is longer;
// a name it cannot take is blamed, not its folder.
TEST(CapturePngFiles, NamesUpToTheFileSystemsLimitWork) {
    const test_files::ScratchFolder scratch;
    const Frame frame = Gradient(4, 4, 1);
    std::string error;
    const std::string longest = std::string(251, 'n') + ".png";
    ASSERT_TRUE(SavePngFile(scratch / longest, frame, PngFilter::NONE, &error)) << error;
    // Two-byte characters: the hidden name is cut between characters, never inside one.
    std::string accented;
    for (int i = 0; i < 125; ++i) {
        accented += "\xC3\xA9";
    }
    accented += "x.png";
    ASSERT_TRUE(SavePngFile(scratch / accented, frame, PngFilter::NONE, &error)) << error;
    EXPECT_EQ(scratch.Entries(), (std::vector<std::string>{longest, accented}));

    const std::string tooLong = std::string(252, 'n') + ".png";
    EXPECT_FALSE(SavePngFile(scratch / tooLong, frame, PngFilter::NONE, &error));
    EXPECT_NE(error.find("cannot write " + scratch / tooLong + ": File name too long"),
              std::string::npos)
        << error;
    EXPECT_EQ(scratch.Entries().size(), 2u);
}

CaptureOptions FolderOutput(const std::string& folder, bool overwrite) {
    CaptureOptions options;
    options.output = folder;
    options.outputKind = OutputKind::PNG_FOLDER;
    options.overwrite = overwrite;
    return options;
}

TEST(CapturePngFolder, FramesOfAnEarlierCaptureAreRefusedOrWithOverwriteRemoved) {
    const test_files::ScratchFolder scratch;
    const std::string& folder = scratch.path;
    std::ofstream(folder + "/frame_000001.png") << "old";
    std::ofstream(folder + "/frame_0000012.png") << "old";
    std::ofstream(folder + "/notes.txt") << "mine";
    std::ofstream(folder + "/frame_01.png") << "not one of ours";

    std::string error;
    EXPECT_FALSE(MakeFrameWriter(FolderOutput(folder, false))->Open(&error));
    EXPECT_NE(error.find("already holds 2 frame files"), std::string::npos) << error;
    EXPECT_EQ(scratch.Entries(folder).size(), 4u);

    std::unique_ptr<FrameWriter> writer = MakeFrameWriter(FolderOutput(folder + "/", true));
    ASSERT_TRUE(writer->Open(&error)) << error;
    EXPECT_EQ(scratch.Entries(folder), (std::vector<std::string>{"frame_01.png", "notes.txt"}));
    ASSERT_TRUE(writer->Write(Gradient(8, 8, 12), &error)) << error;
    EXPECT_TRUE(writer->Finish(&error));
    EXPECT_EQ(scratch.Entries(folder),
              (std::vector<std::string>{"frame_000012.png", "frame_01.png", "notes.txt"}));
}

TEST(CapturePngFolder, IsMadeWhenMissingButNotItsParents) {
    const test_files::ScratchFolder scratch;
    const std::string& folder = scratch.path;
    std::string error;
    EXPECT_TRUE(MakeFrameWriter(FolderOutput(folder + "/new", false))->Open(&error)) << error;
    EXPECT_EQ(scratch.Entries(folder + "/new").size(), 0u);
    EXPECT_FALSE(MakeFrameWriter(FolderOutput(folder + "/a/b", false))->Open(&error));
    EXPECT_NE(error.find("cannot make the output folder"), std::string::npos) << error;
    std::ofstream(folder + "/file") << "x";
    EXPECT_FALSE(MakeFrameWriter(FolderOutput(folder + "/file", false))->Open(&error));
    EXPECT_NE(error.find("not a folder"), std::string::npos) << error;
}

CaptureOptions VideoOutput(const std::string& path, bool overwrite) {
    CaptureOptions options;
    options.output = path;
    options.outputKind = OutputKind::VIDEO;
    options.videoExtension = path.substr(path.find_last_of('.'));
    options.overwrite = overwrite;
    options.width = 64;
    options.height = 48;
    return options;
}

// Runs `check` with PATH set to `path`, and puts PATH back.
template <class Check> void WithPath(const std::string& path, Check check) {
    const char* old = std::getenv("PATH");
    const std::string saved = old != nullptr ? old : "";
    setenv("PATH", path.c_str(), 1);
    check();
    setenv("PATH", saved.c_str(), 1);
}

TEST(CaptureVideo, TheEncodersFfmpegListsAreRead) {
    const std::string listing = "Encoders:\n V..... = Video\n A..... = Audio\n ------\n"
                                " V....D libx264              libx264 H.264 / AVC\n"
                                " VFS... prores_ks            Apple ProRes (iCodec Pro)\n"
                                " A....D aac                  AAC (Advanced Audio Coding)\n";
    EXPECT_EQ(ListedEncoders(listing), (std::vector<std::string>{"libx264", "prores_ks", "aac"}));
    EXPECT_TRUE(ListedEncoders("").empty());
}

TEST(CaptureVideo, MissingFfmpegOrAnExistingVideoIsReportedBeforeAnythingIsWritten) {
    const test_files::ScratchFolder scratch;
    const std::string& folder = scratch.path;
    WithPath(folder, [&] {
        std::string error;
        EXPECT_FALSE(MakeFrameWriter(VideoOutput(folder + "/show.mp4", false))->Open(&error));
        EXPECT_NE(error.find("ffmpeg is not installed"), std::string::npos) << error;
    });
    EXPECT_TRUE(scratch.Entries(folder).empty());

    if (!FindOnPath("ffmpeg").empty()) {
        std::ofstream(folder + "/show.mkv") << "someone's video";
        std::string error;
        EXPECT_FALSE(MakeFrameWriter(VideoOutput(folder + "/show.mkv", false))->Open(&error));
        EXPECT_NE(error.find("give -y"), std::string::npos) << error;
        EXPECT_EQ(scratch.Entries(folder), std::vector<std::string>{"show.mkv"});
    }
}

TEST(CaptureVideo, AVideoAppearsOnlyWhenFinishedAndNothingIsLeftWhenAbandoned) {
    if (FindOnPath("ffmpeg").empty()) {
        GTEST_SKIP() << "ffmpeg is not installed";
    }
    const test_files::ScratchFolder scratch;
    const std::string& folder = scratch.path;
    std::string error;
    {
        std::unique_ptr<FrameWriter> writer =
            MakeFrameWriter(VideoOutput(folder + "/a.mkv", false));
        ASSERT_TRUE(writer->Open(&error)) << error;
        ASSERT_TRUE(writer->Write(Gradient(64, 48, 1), &error)) << error;
        writer->Abandon();
    }
    EXPECT_TRUE(scratch.Entries(folder).empty());

    std::unique_ptr<FrameWriter> writer = MakeFrameWriter(VideoOutput(folder + "/b.mkv", false));
    ASSERT_TRUE(writer->Open(&error)) << error;
    EXPECT_FALSE(writer->Write(Gradient(32, 48, 1), &error)) << "a frame of the wrong size";
    for (uint64_t n = 1; n <= 3; ++n) {
        ASSERT_TRUE(writer->Write(Gradient(64, 48, n), &error)) << error;
    }
    ASSERT_TRUE(writer->Finish(&error)) << error;
    EXPECT_EQ(scratch.Entries(folder), std::vector<std::string>{"b.mkv"});
    struct stat info {};
    ASSERT_EQ(stat((folder + "/b.mkv").c_str(), &info), 0);
    EXPECT_GT(info.st_size, 0);
}

// A stand-in for ffmpeg, on PATH as "ffmpeg": a shell script with the given body, which lists
// `encoders` when asked for them.
void StandInFfmpeg(const test_files::ScratchFolder& bin, const std::string& body,
                   const std::string& encoders = "libx264") {
    const std::string path = bin / "ffmpeg";
    std::ofstream(path) << "#!/bin/sh\n"
                        << "if [ \"$2\" = -encoders ]; then\n"
                        << "  printf ' V..... = Video\\n ------\\n'\n"
                        << "  for e in " << encoders
                        << "; do echo \" V....D $e the encoder\"; done\n"
                        << "  exit 0\n"
                        << "fi\n"
                        << body << "\n";
    chmod(path.c_str(), 0755);
}

// An encoder that ends well but writes nothing, one that takes no frames, and one that never
// ends: each is a clear failure, nothing is left, and none is waited for longer than the stall
// limit.
TEST(CaptureVideo, AnEncoderThatWritesNothingOrIsStuckFails) {
    const test_files::ScratchFolder scratch, bin;
    CaptureOptions options = VideoOutput(scratch / "show.mp4", false);
    options.encoderStallLimit = std::chrono::milliseconds(300);
    WithPath(bin.path + ":/usr/bin:/bin", [&] {
        std::string error;
        // Takes a frame well, then fails to finish for `reason`, leaving nothing.
        auto finishFails = [&](const std::string& encoder, const std::string& reason) {
            SCOPED_TRACE(encoder);
            StandInFfmpeg(bin, encoder);
            std::unique_ptr<FrameWriter> writer = MakeFrameWriter(options);
            ASSERT_TRUE(writer->Open(&error)) << error;
            ASSERT_TRUE(writer->Write(Gradient(64, 48, 1), &error)) << error;
            EXPECT_FALSE(writer->Finish(&error));
            EXPECT_NE(error.find(reason), std::string::npos) << error;
            EXPECT_TRUE(scratch.Entries().empty());
        };
        finishFails("exec cat >/dev/null", "ffmpeg ended as if it had finished, but wrote nothing");
        // An ffmpeg built without the codec's encoder is refused before anything is made.
        StandInFfmpeg(bin, "exec cat >/dev/null", "libx265 mpeg4");
        EXPECT_FALSE(MakeFrameWriter(options)->Open(&error));
        EXPECT_EQ(error, "this ffmpeg cannot write H.264 CRF 18, 4:2:0: it has no libx264 encoder");
        EXPECT_TRUE(scratch.Entries().empty());
        // It reads everything but does not end when its input does.
        finishFails("cat >/dev/null\nexec sleep 30", "did not finish the video within 0.3 s");

        // It never reads: the pipe fills within a few frames of 9 KB.
        StandInFfmpeg(bin, "exec sleep 30");
        std::unique_ptr<FrameWriter> deaf = MakeFrameWriter(options);
        ASSERT_TRUE(deaf->Open(&error)) << error;
        bool written = true;
        for (uint64_t n = 1; n <= 100 && written; ++n) {
            written = deaf->Write(Gradient(64, 48, n), &error);
        }
        EXPECT_FALSE(written);
        EXPECT_NE(error.find("ffmpeg took no frame for 0.3 s; it seems stuck"), std::string::npos)
            << error;
        deaf->Abandon();
        EXPECT_TRUE(scratch.Entries().empty());
    });
}

// A stop signal does not wait for the encoder, however long the stall limit: neither for one
// that takes no more frames nor for one that does not end; and nothing is left.
TEST(CaptureVideo, AStopSignalEndsTheWaitForTheEncoder) {
    const test_files::ScratchFolder scratch, bin;
    CaptureOptions options = VideoOutput(scratch / "show.mp4", false);
    options.encoderStallLimit = std::chrono::minutes(1);
    WithPath(bin.path + ":/usr/bin:/bin", [&] {
        for (const bool reads : {false, true}) {
            SCOPED_TRACE(reads ? "reads, never ends" : "reads nothing");
            StandInFfmpeg(bin, reads ? "cat >/dev/null\nexec sleep 30" : "exec sleep 30");
            const StopSignals signals;
            std::unique_ptr<FrameWriter> writer = MakeFrameWriter(options);
            std::string error;
            ASSERT_TRUE(writer->Open(&error)) << error;
            ASSERT_FALSE(StopRequested());
            raise(SIGTERM);
            ASSERT_TRUE(StopRequested());
            const auto begin = std::chrono::steady_clock::now();
            bool finished = true;
            for (uint64_t n = 1; n <= 100 && finished; ++n) {
                finished = writer->Write(Gradient(64, 48, n), &error);
            }
            finished = finished && writer->Finish(&error);
            EXPECT_FALSE(finished);
            EXPECT_NE(error.find("interrupted"), std::string::npos) << error;
            EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(10));
            writer->Abandon();
            EXPECT_TRUE(scratch.Entries().empty());
        }
    });
}

} // namespace
