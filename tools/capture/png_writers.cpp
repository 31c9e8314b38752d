// The PNG outputs (a folder of numbered frames, or one frame) and the output that keeps nothing.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#include "frame_writer.h"
#include "job_stream.h"
#include "output_files.h"
#include "png_output.h"
#include "progress_bar.h"

namespace capture {

std::unique_ptr<FrameWriter> MakeVideoWriter(const CaptureOptions& options);

namespace {

// Two encoders: at 1600 x 1200 a PNG takes about half as long to write as the frame takes to
// draw, and a second encoder keeps the program from ever waiting for one (a few per cent faster,
// bench/capture_rate.sh); at 640 x 480 one encoder would do as well.
constexpr int PNG_FOLDER_ENCODERS = 2;

// frame_ followed by six or more digits and .png: the files a capture writes in a folder.
bool IsFrameFileName(const char* name) {
    if (std::strncmp(name, "frame_", 6) != 0) {
        return false;
    }
    const char* at = name + 6;
    int digits = 0;
    while (std::isdigit(static_cast<unsigned char>(*at))) {
        ++at;
        ++digits;
    }
    return digits >= 6 && std::strcmp(at, ".png") == 0;
}

// A temporary file can be made in the folder (permissions alone do not say so for root, or on a
// read-only file system).
bool CheckWritable(const std::string& folderPath, std::string* error) {
    int fd = -1;
    const std::string probe = CreateTemporaryBeside(folderPath + "/probe", "", &fd, error);
    if (probe.empty()) {
        return false;
    }
    close(fd);
    unlink(probe.c_str());
    return true;
}

class PngFolderWriter final : public FrameWriter {
public:
    PngFolderWriter(std::string folder, bool overwrite, PngFilter filter)
        : folder_(std::move(folder)), overwrite_(overwrite), filter_(filter) {
        while (folder_.size() > 1 && folder_.back() == '/') {
            folder_.pop_back();
        }
    }

    bool Open(std::string* error) override {
        if (!PathExists(folder_)) {
            if (mkdir(folder_.c_str(), 0777) != 0) {
                *error = SystemError("cannot make the output folder " + folder_);
                return false;
            }
        } else if (!IsDirectory(folder_)) {
            *error = "output " + folder_ + " exists and is not a folder";
            return false;
        }
        if (!ClearOldFrames(error)) {
            return false;
        }
        return CheckWritable(folder_, error);
    }

    bool Write(const Frame& frame, std::string* error) override {
        return SavePngFile(folder_ + "/" + FrameFileName(frame.number), frame, filter_, error);
    }

    bool Finish(std::string*) override { return true; }
    void Abandon() override {} // the frames written are whole files; they stay
    int EncoderThreads() const override { return PNG_FOLDER_ENCODERS; }
    std::string Describe(uint64_t frames) const override {
        return CountOf(frames, "PNG file", "PNG files") + " in " + folder_ + "/";
    }

private:
    // Frames of an earlier capture would mix with the new ones: they are refused, or with
    // --overwrite removed.
    bool ClearOldFrames(std::string* error) {
        DIR* directory = opendir(folder_.c_str());
        if (directory == nullptr) {
            *error = SystemError("cannot read the output folder " + folder_);
            return false;
        }
        std::vector<std::string> old;
        while (const dirent* entry = readdir(directory)) {
            if (IsFrameFileName(entry->d_name)) {
                old.push_back(entry->d_name);
            }
        }
        closedir(directory);
        if (old.empty()) {
            return true;
        }
        if (!overwrite_) {
            *error = "the output folder " + folder_ + " already holds " +
                     CountOf(old.size(), "frame file", "frame files") +
                     "; choose another folder or give -y to replace them";
            return false;
        }
        for (const std::string& name : old) {
            const std::string path = folder_ + "/" + name;
            if (unlink(path.c_str()) != 0) {
                *error = SystemError("cannot remove the old frame " + path);
                return false;
            }
        }
        return true;
    }

    std::string folder_;
    bool overwrite_;
    PngFilter filter_;
};

class PngFileWriter final : public FrameWriter {
public:
    PngFileWriter(std::string path, bool overwrite, PngFilter filter)
        : path_(std::move(path)), overwrite_(overwrite), filter_(filter) {}

    bool Open(std::string* error) override {
        if (PathExists(path_) && (!overwrite_ || IsDirectory(path_))) {
            *error = IsDirectory(path_) ? "output " + path_ + " is a folder"
                                        : "output " + path_ + " exists; give -y to replace it";
            return false;
        }
        return CheckWritable(FolderOf(path_), error);
    }

    bool Write(const Frame& frame, std::string* error) override {
        return SavePngFile(path_, frame, filter_, error);
    }

    bool Finish(std::string*) override { return true; }
    void Abandon() override {}
    int EncoderThreads() const override { return 1; }
    std::string Describe(uint64_t) const override { return path_; }

private:
    std::string path_;
    bool overwrite_;
    PngFilter filter_;
};

class NullWriter final : public FrameWriter {
public:
    bool Open(std::string*) override { return true; }
    bool Write(const Frame&, std::string*) override { return true; }
    bool Finish(std::string*) override { return true; }
    void Abandon() override {}
    int EncoderThreads() const override { return 1; }
    std::string Describe(uint64_t frames) const override {
        return CountOf(frames, "frame", "frames") + " drawn, none written";
    }
};

} // namespace

std::string FrameFileName(uint64_t number) {
    char name[40];
    std::snprintf(name, sizeof(name), "frame_%06llu.png", static_cast<unsigned long long>(number));
    return name;
}

std::unique_ptr<FrameWriter> MakeFrameWriter(const CaptureOptions& options) {
    switch (options.outputKind) {
    case OutputKind::PNG_FOLDER:
        return std::make_unique<PngFolderWriter>(options.output, options.overwrite,
                                                 FilterForDepth(options.PictureDepth()));
    case OutputKind::PNG_FILE:
        return std::make_unique<PngFileWriter>(options.output, options.overwrite,
                                               FilterForDepth(options.PictureDepth()));
    case OutputKind::VIDEO:
        return MakeVideoWriter(options);
    case OutputKind::JOB_STREAM:
        return MakeJobStreamWriter();
    case OutputKind::NONE:
        break;
    }
    return std::make_unique<NullWriter>();
}

} // namespace capture
