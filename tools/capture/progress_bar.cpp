#include "progress_bar.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace capture {

namespace {

constexpr auto REDRAW_INTERVAL = std::chrono::milliseconds(200);
// The rate shown is taken over about this long, so that it follows the scenes' changing cost.
constexpr double RATE_WINDOW_SECONDS = 3.0;

int TerminalColumns() {
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    return 80;
}

} // namespace

std::string CountOf(uint64_t count, const std::string& one, const std::string& many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string FormatDuration(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0) {
        return "--:--";
    }
    const long total = std::lround(seconds);
    char text[32];
    if (total >= 3600) {
        std::snprintf(text, sizeof(text), "%ld:%02ld:%02ld", total / 3600, total / 60 % 60,
                      total % 60);
    } else {
        std::snprintf(text, sizeof(text), "%ld:%02ld", total / 60, total % 60);
    }
    return text;
}

std::string FormatProgress(uint64_t done, uint64_t total, double perSecond, int columns) {
    char counts[64];
    std::snprintf(counts, sizeof(counts), "%llu/%llu", static_cast<unsigned long long>(done),
                  static_cast<unsigned long long>(total));
    char tail[96];
    const double left = perSecond > 0 && total >= done ? double(total - done) / perSecond : -1;
    std::snprintf(tail, sizeof(tail), " %s  %5.1f fps  %s left", counts, perSecond,
                  FormatDuration(left).c_str());
    const int barWidth = std::min(40, columns - 3 - int(std::string(tail).size()));
    std::string line;
    if (barWidth >= 10) {
        const int filled =
            total > 0 ? int(double(barWidth) * double(std::min(done, total)) / double(total)) : 0;
        line = "[" + std::string(size_t(filled), '#') +
               std::string(size_t(barWidth - filled), '.') + "]";
    }
    return line + tail;
}

ProgressBar::ProgressBar(uint64_t total, bool enabled)
    : total_(total), enabled_(enabled && isatty(STDERR_FILENO) == 1), start_(Clock::now()),
      lastDraw_(start_), windowStart_(start_) {}

double ProgressBar::AverageRate(uint64_t done) const {
    const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    return seconds > 0 ? double(done) / seconds : 0.0;
}

void ProgressBar::Update(uint64_t done) {
    const Clock::time_point now = Clock::now();
    const double windowSeconds = std::chrono::duration<double>(now - windowStart_).count();
    if (windowSeconds >= RATE_WINDOW_SECONDS || recentRate_ == 0.0) {
        if (windowSeconds > 0.5) {
            recentRate_ = double(done - windowFrames_) / windowSeconds;
            windowFrames_ = done;
            windowStart_ = now;
        }
    }
    if (!enabled_ || now - lastDraw_ < REDRAW_INTERVAL) {
        return;
    }
    lastDraw_ = now;
    Draw(done);
}

void ProgressBar::Draw(uint64_t done) {
    const double rate = recentRate_ > 0 ? recentRate_ : AverageRate(done);
    const std::string line = FormatProgress(done, total_, rate, TerminalColumns());
    std::fprintf(stderr, "\r%s\x1b[K", line.c_str());
    std::fflush(stderr);
    drawn_ = true;
}

void ProgressBar::Finish(uint64_t done) {
    if (!enabled_) {
        return;
    }
    recentRate_ = AverageRate(done);
    Draw(done);
    std::fputc('\n', stderr);
    drawn_ = false;
}

void ProgressBar::Clear() {
    if (enabled_ && drawn_) {
        std::fputs("\r\x1b[K", stderr);
        drawn_ = false;
    }
}

} // namespace capture
