#include "job_stream.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "frame_writer.h"
#include "output_files.h"
#include "progress_bar.h"

namespace capture {

namespace {

constexpr char MAGIC[4] = {'L', 'F', 'J', '1'};
constexpr size_t HEADER_BYTES = 16;
// Frames are at most 7680 x 4320 (see --size); a header beyond that is not one of ours.
constexpr uint32_t LARGEST_SIDE = 16384;
// How often a reader waiting for a job asks whether to stop.
constexpr int STOP_CHECK_MS = 100;

void PutWord(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = uint8_t(value >> (8 * i));
    }
}

uint32_t Word(const uint8_t* at) {
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

bool WriteAll(int fd, const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const ssize_t written = write(fd, bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes += written;
        size -= size_t(written);
    }
    return true;
}

class JobStreamWriter final : public FrameWriter {
public:
    bool Open(std::string* error) override {
        if (DescriptorIsOpen()) {
            return true;
        }
        *error = "a job's frames go to descriptor " + std::to_string(JOB_STREAM_FD) +
                 ", which is not open (--job is for the tool's own use)";
        return false;
    }
    bool Write(const Frame& frame, std::string* error) override {
        uint8_t header[HEADER_BYTES] = {};
        std::memcpy(header, MAGIC, sizeof(MAGIC));
        PutWord(header + 4, uint32_t(frame.width));
        PutWord(header + 8, uint32_t(frame.height));
        if (!WriteAll(JOB_STREAM_FD, header, sizeof(header)) ||
            !WriteAll(JOB_STREAM_FD, frame.rgba.data(), frame.rgba.size())) {
            *error = SystemError("the tool that started this job took no more frames");
            return false;
        }
        return true;
    }
    bool Finish(std::string*) override { return close(JOB_STREAM_FD) == 0; }
    void Abandon() override {}
    int EncoderThreads() const override { return 1; } // in order
    std::string Describe(uint64_t frames) const override {
        return CountOf(frames, "frame", "frames");
    }

private:
    static bool DescriptorIsOpen() {
        pollfd probe{JOB_STREAM_FD, POLLOUT, 0};
        return poll(&probe, 1, 0) >= 0 && (probe.revents & POLLNVAL) == 0;
    }
};

} // namespace

std::unique_ptr<FrameWriter> MakeJobStreamWriter() {
    return std::make_unique<JobStreamWriter>();
}

bool JobStreamReader::ReadAll(void* data, size_t size, const std::function<bool()>& stop,
                              size_t* got) {
    auto* bytes = static_cast<uint8_t*>(data);
    *got = 0;
    while (*got < size) {
        // Asked before every read, not only when the stream is idle: jobs that keep sending
        // would otherwise hold off a stop signal for as long as they draw.
        if (stop()) {
            return false;
        }
        pollfd readable{fd_, POLLIN, 0};
        const int ready = poll(&readable, 1, STOP_CHECK_MS);
        if (ready == 0 || (ready < 0 && errno == EINTR)) {
            continue;
        }
        const ssize_t read_now = read(fd_, bytes + *got, size - *got);
        if (read_now < 0 && errno == EINTR) {
            continue;
        }
        if (read_now <= 0) {
            return false;
        }
        *got += size_t(read_now);
    }
    return true;
}

JobStreamReader::Result JobStreamReader::Read(Frame* frame, const std::function<bool()>& stop,
                                              std::string* error) {
    uint8_t header[HEADER_BYTES];
    size_t got = 0;
    if (!ReadAll(header, sizeof(header), stop, &got)) {
        if (stop()) {
            return Result::STOPPED;
        }
        if (got == 0) {
            return Result::END;
        }
        *error = "a job's frame stream ended inside a frame's header";
        return Result::BROKEN;
    }
    const uint32_t width = Word(header + 4), height = Word(header + 8);
    if (std::memcmp(header, MAGIC, sizeof(MAGIC)) != 0 || width == 0 || height == 0 ||
        width > LARGEST_SIDE || height > LARGEST_SIDE) {
        *error = "a job sent something that is not a frame";
        return Result::BROKEN;
    }
    frame->width = int(width);
    frame->height = int(height);
    frame->rgba.resize(size_t(width) * size_t(height) * 4);
    if (!ReadAll(frame->rgba.data(), frame->rgba.size(), stop, &got)) {
        if (stop()) {
            return Result::STOPPED;
        }
        *error = "a job's frame stream ended inside a frame";
        return Result::BROKEN;
    }
    return Result::FRAME;
}

} // namespace capture
