// Entry point of lumenfall in a browser: the program's resources are registered, and WinMain runs
// as on the desktop, with the web host and the browser's drivers (platform/web/program.h). The
// page hands over its two options as arguments; the program itself never sees them (its command
// line has no effect):
//
//   --at SECONDS   draw exactly that moment of the show, at 640 x 480 x 16 without the dialog,
//                  and stop: the frame schedule of lumenfall-capture --at, so the two draw the
//                  same picture. The page says "drawn" once the frame is on screen.
//   --speed N      the clock runs N times faster (0 < N <= 1000), for links and tests that want
//                  the end sooner.
//
// A bad option is said in a box, and the show then plays as if it had not been given.
#include <cstdlib>
#include <optional>
#include <string>

#include "capture/frame_timeline.h"
#include "demo/demo_app.h"
#include "moment_run.h"
#include "platform/host/host.h"
#include "platform/web/program.h"
#include "platform/web/web_page.h"
#include "platform/win32/kernel.h"
#include "platform/win32/user.h"
#include "resources/program_resources.h"

namespace {

// The moments a link may name: the show ends in its first frame after 118 s.
constexpr int64_t LATEST_MOMENT_SECONDS = 118;
constexpr double FASTEST_SPEED = 1000.0;

struct PageOptions {
    std::optional<int64_t> atMicros;
    double speed = 1.0;
    std::string error;
};

std::optional<double> ParseSpeed(const std::string& text) {
    if (text.empty() || text.size() > 16) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end == nullptr || *end != '\0' || !(value > 0.0) || value > FASTEST_SPEED) {
        return std::nullopt;
    }
    return value;
}

PageOptions ReadOptions(int argc, char** argv) {
    PageOptions options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--at") {
            std::string error;
            options.atMicros = capture::ParseMicroseconds(value, LATEST_MOMENT_SECONDS, &error);
            if (!options.atMicros) {
                options.error += "?at=" + value + ": " + error + "\n";
            }
        } else if (name == "--speed") {
            if (std::optional<double> speed = ParseSpeed(value)) {
                options.speed = *speed;
            } else {
                options.error += "?speed=" + value +
                                 ": a speed above 0 and at most 1000, such "
                                 "as 4 or 0.5\n";
            }
        }
    }
    return options;
}

// The browser's clock, running `speed` times faster from the moment the program starts.
class FasterClock final : public host::ClockSource {
public:
    FasterClock(host::ClockSource& real, double speed)
        : real_(real), start_(real.Milliseconds()), speed_(speed) {}
    DWORD Milliseconds() override {
        const DWORD elapsed = real_.Milliseconds() - start_;
        return start_ + static_cast<DWORD>(static_cast<double>(elapsed) * speed_);
    }

private:
    host::ClockSource& real_;
    DWORD start_;
    double speed_;
};

// The show as the page's options ask for it, with the web host installed.
int RunPage(PageOptions options) {
    web::SetPageState("starting");
    if (!options.error.empty()) {
        options.error.pop_back();
        MessageBoxA(nullptr, options.error.c_str(), "lumenfall", MB_OK);
    }
    if (options.atMicros) {
        const bool drawn = DrawOneMoment(*options.atMicros);
        web::SetPageState(drawn ? "drawn" : "ended");
        return drawn ? 0 : 1;
    }
    FasterClock clock(host::Clock(), options.speed);
    if (options.speed != 1.0) {
        host::SetClock(&clock);
    }
    char commandLine[] = "";
    const int result = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
    host::SetClock(nullptr);
    web::SetPageState("ended");
    return result;
}

} // namespace

int main(int argc, char** argv) {
    RegisterProgramResources();
    const PageOptions options = ReadOptions(argc, argv);
    return web::RunWebProgram([&options] { return RunPage(options); });
}
