// One video file written by ffmpeg from raw RGB frames on its standard input. The video grows
// under a hidden temporary name beside the final one and is renamed when ffmpeg has finished it
// well; a failed or interrupted capture leaves no partial video.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "ffmpeg_process.h"
#include "frame_writer.h"
#include "output_files.h"
#include "progress_bar.h"
#include "stop_signals.h"
#include "video_codecs.h"

namespace capture {

namespace {

// How long "ffmpeg -encoders" may take: it only lists what it was built with.
constexpr std::chrono::seconds ENCODER_LIST_LIMIT{20};

// The first of the format's encoders that this ffmpeg has, or "" with the reason.
std::string ChooseEncoder(const std::string& ffmpeg, const VideoFormat& format,
                          std::string* error) {
    std::string listing;
    if (!ReadProgramOutput({ffmpeg, "-hide_banner", "-encoders"}, ENCODER_LIST_LIMIT, &listing,
                           error)) {
        *error = "cannot ask ffmpeg for its encoders: " + *error;
        return "";
    }
    const std::vector<std::string> listed = ListedEncoders(listing);
    const std::vector<std::string> candidates = EncoderCandidates(format);
    for (const std::string& candidate : candidates) {
        if (std::find(listed.begin(), listed.end(), candidate) != listed.end()) {
            return candidate;
        }
    }
    std::string names;
    for (const std::string& candidate : candidates) {
        names += (names.empty() ? "" : " or ") + candidate;
    }
    *error = "this ffmpeg cannot write " + DescribeVideoFormat(format) + ": it has no " + names +
             " encoder";
    return "";
}

class VideoWriter final : public FrameWriter {
public:
    explicit VideoWriter(const CaptureOptions& options)
        : path_(options.output), extension_(options.videoExtension), format_(options.video),
          overwrite_(options.overwrite), width_(options.FrameWidth()),
          height_(options.FrameHeight()), rate_(options.rate), ffmpeg_(options.encoderStallLimit) {
        // A stop signal must not wait for a slow encoder, nor for one finishing a long video.
        ffmpeg_.StopWhen(StopRequested);
    }

    ~VideoWriter() override {
        if (!temporary_.empty()) {
            Abandon();
        }
    }

    bool Open(std::string* error) override {
        const std::string ffmpeg = FindOnPath("ffmpeg");
        if (ffmpeg.empty()) {
            *error = "ffmpeg is not installed (not found on PATH); it writes the video. Install "
                     "it (Debian: apt install ffmpeg), or write PNG frames to a folder";
            return false;
        }
        if (IsDirectory(path_)) {
            *error = "output " + path_ + " is a folder";
            return false;
        }
        if (PathExists(path_) && !overwrite_) {
            *error = "output " + path_ + " exists; give -y to replace it";
            return false;
        }
        const std::string encoder = ChooseEncoder(ffmpeg, format_, error);
        if (encoder.empty()) {
            return false;
        }
        int fd = -1;
        temporary_ = CreateTemporaryBeside(path_, extension_, &fd, error);
        if (temporary_.empty()) {
            return false;
        }
        close(fd);

        std::vector<std::string> argv = {ffmpeg,
                                         "-hide_banner",
                                         "-loglevel",
                                         "error",
                                         "-nostats",
                                         "-f",
                                         "rawvideo",
                                         "-pix_fmt",
                                         "rgb24",
                                         "-video_size",
                                         std::to_string(width_) + "x" + std::to_string(height_),
                                         "-framerate",
                                         std::to_string(rate_.num) + "/" +
                                             std::to_string(rate_.den),
                                         "-i",
                                         "pipe:0",
                                         "-an"};
        for (const std::string& argument : EncoderArguments(format_, encoder, extension_)) {
            argv.push_back(argument);
        }
        argv.insert(argv.end(), {"-y", temporary_});
        if (!ffmpeg_.Start(argv, error)) {
            Abandon();
            return false;
        }
        return true;
    }

    bool Write(const Frame& frame, std::string* error) override {
        if (frame.width != width_ || frame.height != height_) {
            *error = "a frame of another size came (" + std::to_string(frame.width) + "x" +
                     std::to_string(frame.height) + ")";
            return false;
        }
        rgb_.resize(size_t(width_) * size_t(height_) * 3);
        const size_t pixels = size_t(width_) * size_t(height_);
        for (size_t i = 0; i < pixels; ++i) {
            rgb_[i * 3 + 0] = frame.rgba[i * 4 + 0];
            rgb_[i * 3 + 1] = frame.rgba[i * 4 + 1];
            rgb_[i * 3 + 2] = frame.rgba[i * 4 + 2];
        }
        if (!ffmpeg_.Write(rgb_.data(), rgb_.size())) {
            if (ffmpeg_.Stopped()) {
                *error = "interrupted";
            } else if (ffmpeg_.Stuck()) {
                *error = "ffmpeg took no frame for " + DescribeSeconds(ffmpeg_.StallLimit()) +
                         "; it seems stuck and was stopped";
            } else {
                *error = "ffmpeg stopped taking frames (" + DescribeStatus(ffmpeg_.Finish()) + ")";
            }
            return false;
        }
        return true;
    }

    bool Finish(std::string* error) override {
        const int status = ffmpeg_.Finish();
        if (ffmpeg_.Stopped()) {
            *error = "interrupted while ffmpeg finished the video";
        } else if (ffmpeg_.Stuck()) {
            *error = "ffmpeg did not finish the video within " +
                     DescribeSeconds(ffmpeg_.StallLimit()) +
                     " of its last frame; it seems stuck and was stopped";
        } else if (status != 0) {
            *error = "ffmpeg could not write the video (" + DescribeStatus(status) + ")";
        } else if (!WroteSomething()) {
            // Taken for success, this would be an empty file under the user's name.
            *error = "ffmpeg ended as if it had finished, but wrote nothing";
        } else {
            const std::string temporary = temporary_;
            temporary_.clear();
            return CommitTemporary(temporary, path_, error);
        }
        Abandon();
        return false;
    }

    void Abandon() override {
        ffmpeg_.Kill();
        if (!temporary_.empty()) {
            unlink(temporary_.c_str());
            temporary_.clear();
        }
    }

    int EncoderThreads() const override { return 1; } // frames go to ffmpeg in order
    std::string Describe(uint64_t frames) const override {
        return path_ + " (" + CountOf(frames, "frame", "frames") + ", " +
               DescribeVideoFormat(format_) + ")";
    }

private:
    bool WroteSomething() const {
        struct stat info {};
        return stat(temporary_.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
    }

    std::string path_;
    std::string extension_;
    VideoFormat format_;
    bool overwrite_;
    int width_;
    int height_;
    FrameRate rate_;
    std::string temporary_;
    ChildProcess ffmpeg_;
    std::vector<uint8_t> rgb_;
};

} // namespace

std::unique_ptr<FrameWriter> MakeVideoWriter(const CaptureOptions& options) {
    return std::make_unique<VideoWriter>(options);
}

} // namespace capture
