// The web benchmark's program (bench/web_frames.mjs drives it): the show in a browser over fixed
// moments of each scene, as bench_scene_frames picks them natively (scene_parts.h), after a
// warm-up pass of 4. Each frame step is timed (Animate, DrawFrame, presenting and waiting until
// WebGL has finished the frame) and one console line reports them, "lumenfall-bench " and JSON:
// each scene's median and worst step in milliseconds. The start-up dialog is answered at once
// with the default device in the default mode, 640 x 480 x 16.
//
// It is the page's program with another entry: the page hands over ?bench=N as "--bench N".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "demo/demo_app.h"
#include "platform/host/host.h"
#include "platform/web/program.h"
#include "platform/web/web_host.h"
#include "platform/web/web_page.h"
#include "platform/win32/kernel.h"
#include "platform/win32/user.h"
#include "resources/program_resources.h"
#include "scene_parts.h"
#include "web/continuing_dialog.h"

namespace {

constexpr int MOST_FRAMES = 1000;

constexpr int WARM_UP_FRAMES = 4;

using Stopwatch = std::chrono::steady_clock;

// The clock of the benchmark: 0 for the dialog's frame, then each planned moment in turn. The
// first reading after a frame was presented starts the next frame step's time.
class BenchClock final : public host::ClockSource {
public:
    explicit BenchClock(std::vector<DWORD> moments) : moments_(std::move(moments)) {}
    DWORD Milliseconds() override {
        if (!started_) {
            stepStart_ = Stopwatch::now();
            started_ = true;
        }
        return next_ == 0 ? 0 : moments_[std::min(next_, moments_.size()) - 1];
    }
    // A frame was presented: its step's time, and whether more are planned.
    bool FramePresented(double* milliseconds) {
        *milliseconds =
            std::chrono::duration<double, std::milli>(Stopwatch::now() - stepStart_).count();
        started_ = false;
        return ++next_ <= moments_.size();
    }
    size_t Presented() const { return next_; }

private:
    std::vector<DWORD> moments_;
    size_t next_ = 0; // frames presented so far
    bool started_ = false;
    Stopwatch::time_point stepStart_;
};

void MeasureScenes(int frames) {
    std::vector<DWORD> moments;
    for (int pass = 0; pass < 2; ++pass) {
        const int count = pass == 0 ? WARM_UP_FRAMES : frames;
        for (const BenchScene& scene : BENCH_SCENES) {
            for (int i = 0; i < count; ++i) {
                moments.push_back(DWORD(BenchMoment(scene, i, count) * 1000.0f));
            }
        }
    }
    const size_t warmUp = size_t(WARM_UP_FRAMES) * std::size(BENCH_SCENES);
    BenchClock clock(moments);
    ContinuingDialog dialog;
    std::vector<double> times; // of the measured frames, in order
    host::SetClock(&clock);
    host::DialogHandler* pageDialogs = host::Dialogs();
    host::SetDialogHandler(&dialog);
    // Frames are taken as the browser gets them, not through a frame sink: a sink reads every
    // frame back, which the page never does and which costs more in a browser than natively.
    web::SetFrameObserver([&] {
        double milliseconds = 0;
        const size_t index = clock.Presented(); // 0 is the dialog's frame
        const bool more = clock.FramePresented(&milliseconds);
        if (index > warmUp) {
            times.push_back(milliseconds);
        }
        if (!more) {
            // As Escape would, to the show's window (the one in front once the dialog is gone).
            PostMessageA(GetForegroundWindow(), WM_CLOSE, 0, 0);
        }
    });
    char commandLine[] = "";
    WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
    web::SetFrameObserver(nullptr);
    host::SetDialogHandler(pageDialogs);
    host::SetClock(nullptr);

    std::string json = "{\"frames\":" + std::to_string(frames) + ",\"scenes\":[";
    for (size_t s = 0; s < std::size(BENCH_SCENES); ++s) {
        const size_t first = s * size_t(frames);
        if (first + size_t(frames) > times.size()) {
            break;
        }
        std::vector<double> scene(times.begin() + ptrdiff_t(first),
                                  times.begin() + ptrdiff_t(first + size_t(frames)));
        std::sort(scene.begin(), scene.end());
        char entry[160];
        std::snprintf(entry, sizeof(entry), "%s{\"name\":\"%s\",\"median\":%.3f,\"worst\":%.3f}",
                      s == 0 ? "" : ",", BENCH_SCENES[s].name, scene[scene.size() / 2],
                      scene.back());
        json += entry;
    }
    std::printf("lumenfall-bench %s]}\n", json.c_str());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    RegisterProgramResources();
    const int frames = argc == 3 && std::string(argv[1]) == "--bench" ? std::atoi(argv[2]) : 0;
    return web::RunWebProgram([frames] {
        if (frames < 1 || frames > MOST_FRAMES) {
            MessageBoxA(nullptr, "?bench= takes 1 to 1000 frames a scene", "lumenfall", MB_OK);
            return 1;
        }
        MeasureScenes(frames);
        web::SetPageState("ended");
        return 0;
    });
}
