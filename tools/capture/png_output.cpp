#include "png_output.h"

#include <png.h>
#include <unistd.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include "output_files.h"

namespace capture {

namespace {

struct PngErrorState {
    char message[256] = "";
};

void OnPngError(png_structp png, png_const_charp message) {
    auto* state = static_cast<PngErrorState*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof(state->message), "%s", message);
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// libpng reports failures by a long jump back here; nothing with a destructor lives between
// setjmp and the calls that may jump, the row buffer is made by the caller.
bool EncodePng(FILE* file, const Frame& frame, PngFilter filter, std::vector<png_byte>& row,
               PngErrorState& state) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, OnPngError, OnPngWarning);
    if (png == nullptr) {
        std::snprintf(state.message, sizeof(state.message), "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, PNG_COMPRESSION_LEVEL);
    // One fixed filter: adaptive filtering tries five per row and costs more than it saves here.
    png_set_filter(png, PNG_FILTER_TYPE_BASE,
                   filter == PngFilter::SUB ? PNG_FILTER_SUB : PNG_FILTER_NONE);
    png_set_IHDR(png, info, png_uint_32(frame.width), png_uint_32(frame.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const size_t width = size_t(frame.width);
    for (int y = 0; y < frame.height; ++y) {
        const uint8_t* source = frame.rgba.data() + size_t(y) * width * 4;
        for (size_t x = 0; x < width; ++x) {
            row[x * 3 + 0] = source[x * 4 + 0];
            row[x * 3 + 1] = source[x * 4 + 1];
            row[x * 3 + 2] = source[x * 4 + 2];
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

PngFilter FilterForDepth(int depth) {
    return depth > 16 ? PngFilter::SUB : PngFilter::NONE;
}

bool SavePngFile(const std::string& path, const Frame& frame, PngFilter filter,
                 std::string* error) {
    int fd = -1;
    const std::string temporary = CreateTemporaryBeside(path, "", &fd, error);
    if (temporary.empty()) {
        return false;
    }
    FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        *error = SystemError("cannot write " + temporary);
        close(fd);
        unlink(temporary.c_str());
        return false;
    }
    std::vector<png_byte> row(size_t(frame.width) * 3);
    PngErrorState state;
    const bool encoded = EncodePng(file, frame, filter, row, state);
    const bool flushed = std::fflush(file) == 0 && std::ferror(file) == 0;
    const bool closed = std::fclose(file) == 0;
    if (!encoded || !flushed || !closed) {
        *error = encoded ? SystemError("cannot write " + path)
                         : "cannot encode " + path + ": " + state.message;
        unlink(temporary.c_str());
        return false;
    }
    return CommitTemporary(temporary, path, error);
}

} // namespace capture
