// What the presentation options cost, on Mesa's software rasteriser (the EGL software device):
// each scene's median and worst frame step for the authentic picture at 640 x 480, for each
// option alone (2x and 4x internal resolution, 4x multisampling, 32-bit colour, native
// resolution for a 1920 x 1080 screen) and for the clean look on a 1920 x 1080 screen, all side
// by side in one run. The configurations take turns scene by scene, so that a busy machine
// slows them alike and the ratios hold.
//
// A frame step is what the program runs: Animate, DrawFrame, and the frame presented, which for
// the software device means resolved and read back at the internal size (as its window needs).
// DrawFrame is timed until the rasteriser has drawn it all (GL finished), so its share is the
// drawing and the rest of the step is the presentation. Where the clean look's time goes shows
// in that split and in the options alone: its target is 1440 x 1080 (5 times the mode's pixels),
// 32-bit and 4x multisampled.
//
//   bench_presentation_options [frames per scene and configuration, default 30]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "demo/demo_app.h"
#include "platform/drivers/driver_builder.h"
#include "platform/host/host.h"
#include "platform/host/presentation.h"
#include "platform/win32/kernel.h"
#include "scene_parts.h"
#include "support/gl_finish.h"
#include "support/headless_show.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

class TimedDemo final : public DemoApp {
public:
    HRESULT DrawFrame() override {
        const auto start = Clock::now();
        const HRESULT result = DemoApp::DrawFrame();
        bench::FinishGl();
        lastDrawMs = MillisecondsSince(start);
        return result;
    }
    double lastDrawMs = 0;
};

struct Configuration {
    const char* name;
    host::PresentationOptions options;
};

std::vector<Configuration> Configurations() {
    host::PresentationOptions twice, four, samples, colour, native, clean;
    twice.internal.scale = 2;
    four.internal.scale = 4;
    samples.samples = 4;
    colour.trueColour = true;
    native.internal.native = true;
    native.nativeAreaWidth = 1920;
    native.nativeAreaHeight = 1080;
    clean = host::LookOptions(host::Look::CLEAN);
    clean.nativeAreaWidth = 1920;
    clean.nativeAreaHeight = 1080;
    return {{"authentic", {}},      {"2x", twice},      {"4x", four},
            {"4 samples", samples}, {"32-bit", colour}, {"native 1080", native},
            {"clean 1080", clean}};
}

// The configuration's options installed, with a driver set made under them (its texture formats
// follow the colour depth).
void Install(const Configuration& configuration) {
    host::SetPresentationOptions(configuration.options);
    host::InstallDrivers({drivers::PrimaryDriver()
                              .Device(drivers::GlDevice(drivers::GlKind::SOFTWARE, "EGL software"))
                              .Build()});
}

// The configuration's device: the environment made anew on it, as a change of device would.
bool Use(TimedDemo& app, const Configuration& configuration) {
    Install(configuration);
    return SUCCEEDED(app.ChangeEnvironment()) && app.device != nullptr;
}

struct Times {
    double median = 0, worst = 0, drawMedian = 0, presentMedian = 0;
};

Times Measure(TimedDemo& app, host::ManualClock& clock, const BenchScene& scene, int frames) {
    std::vector<double> steps, draws, presents;
    for (int i = 0; i < frames; ++i) {
        const float t = BenchMoment(scene, i, frames);
        clock.Set(app.baseTime + DWORD(t * 1000.0f));
        const auto start = Clock::now();
        app.FrameStep();
        steps.push_back(MillisecondsSince(start));
        draws.push_back(app.lastDrawMs);
        presents.push_back(steps.back() - app.lastDrawMs);
    }
    for (std::vector<double>* times : {&steps, &draws, &presents}) {
        std::sort(times->begin(), times->end());
    }
    return Times{steps[steps.size() / 2], steps.back(), draws[draws.size() / 2],
                 presents[presents.size() / 2]};
}

} // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(5, std::atoi(argv[1])) : 30;
    bench::HeadlessShow show;
    host::ManualClock& clock = show.clock;
    host::ScopedDrivers drivers({});

    const std::vector<Configuration> configurations = Configurations();
    Install(configurations.front());
    TimedDemo app;
    if (FAILED(app.Create(GetModuleHandleA(nullptr), nullptr)) || app.device == nullptr ||
        show.Boxes() != 0) {
        std::fprintf(stderr, "the demo did not start on the software device\n");
        return 1;
    }
    app.FrameStep(); // the first frame: the dialog

    // results[configuration][scene]
    std::vector<std::vector<Times>> results(configurations.size(),
                                            std::vector<Times>(std::size(BENCH_SCENES)));
    for (size_t s = 0; s < std::size(BENCH_SCENES); ++s) {
        for (size_t c = 0; c < configurations.size(); ++c) {
            if (!Use(app, configurations[c])) {
                std::fprintf(stderr, "no device for %s\n", configurations[c].name);
                return 1;
            }
            Measure(app, clock, BENCH_SCENES[s], 3); // textures uploaded, buffers grown
            results[c][s] = Measure(app, clock, BENCH_SCENES[s], frames);
        }
    }

    std::printf("%d frames per scene and configuration, 640 x 480 x 16 mode; frame step median "
                "/ worst, its drawing (DrawFrame until GL finished) and presentation (the rest) "
                "at the median, and the median against authentic's\n",
                frames);
    for (size_t c = 0; c < configurations.size(); ++c) {
        std::printf("%s:\n", configurations[c].name);
        for (size_t s = 0; s < std::size(BENCH_SCENES); ++s) {
            const Times& t = results[c][s];
            std::printf("  %-8s %7.2f / %7.2f ms   draw %7.2f ms   present %6.2f ms   x%.2f\n",
                        BENCH_SCENES[s].name, t.median, t.worst, t.drawMedian, t.presentMedian,
                        t.median / results[0][s].median);
        }
    }

    // The end of the show, as the program reaches it: the frame after 118 s releases the
    // texture surfaces and the mesh files.
    clock.Set(app.baseTime + 118500);
    app.FrameStep();

    host::SetPresentationOptions(host::PresentationOptions{});
    return 0;
}
