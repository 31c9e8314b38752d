// Frame times of the show's five scenes on Mesa's software rasteriser (the EGL software device),
// at 640 x 480 and 1600 x 1200 in 16 bits, driven through the demo's own operations: Create
// (media, catalog, environment), the start-up dialog confirmed on the first frame, then frame
// steps at fixed application times spread evenly over each scene's part of the timeline. Each
// step is timed as the program runs it: Animate, DrawFrame and the frame presented (read back
// from the offscreen target as the software device does for its window).
//
// Also reported: the time from start to the dialog, the heap allocations made inside DrawFrame
// (counted by a replaced operator new; the frame path should make none) and around it in the
// rest of the frame step, the triangles each model sends per draw, and the peak resident memory.
//
//   bench_scene_frames [frames per scene, default 60] [WxHxBITS ...]
//
// The modes default to 640x480x16 and 1600x1200x16. For finding where a scene's time goes,
// BENCH_POINT_FILTER=1 draws with point instead of linear texture filtering (not the show's
// look), and Mesa's LP_NUM_THREADS sets the rasteriser's threads. BENCH_TRAP_ALLOCATION=1 stops
// at the first allocation of a measured frame step (run it under a debugger).
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "demo/demo_app.h"
#include "demo/scene_objects.h"
#include "mesh/mesh_file.h"
#include "platform/drivers/driver_builder.h"
#include "platform/host/host.h"
#include "platform/win32/kernel.h"
#include "scene_parts.h"
#include "support/headless_show.h"

// ---- Allocation counting ---------------------------------------------------------------------
namespace {
std::atomic<long> allocations{0};
// Set during the measured frame steps (not the warm-up): with BENCH_TRAP_ALLOCATION set, the
// first allocation there stops the program for a debugger to show where it came from.
bool inMeasuredStep = false;
const bool trapAllocation = std::getenv("BENCH_TRAP_ALLOCATION") != nullptr;
void NoteAllocation() {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (inMeasuredStep && trapAllocation) {
        __builtin_trap();
    }
}
} // namespace

void* operator new(std::size_t size) {
    NoteAllocation();
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

const Clock::time_point processStart = Clock::now();
double dialogAfterMs = -1;

// The demo with its DrawFrame timed and its allocations counted.
class MeasuredDemo final : public DemoApp {
public:
    HRESULT DrawFrame() override {
        const long before = allocations.load();
        const auto start = Clock::now();
        const HRESULT result = DemoApp::DrawFrame();
        lastDrawMs = MillisecondsSince(start);
        lastDrawAllocations = allocations.load() - before;
        return result;
    }
    HRESULT PrepareDevice() override {
        const HRESULT result = DemoApp::PrepareDevice();
        if (std::getenv("BENCH_POINT_FILTER") != nullptr) {
            device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_POINT);
            device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
        }
        return result;
    }
    double lastDrawMs = 0;
    long lastDrawAllocations = 0;
};

long Triangles(MeshFile* file) {
    long triangles = 0;
    if (file != nullptr) {
        file->EnumerateNodes(
            [](MeshNode* node, void* context) {
                if (node->hasMesh) {
                    *static_cast<long*>(context) += long(node->indexCount / 3);
                }
                return 0;
            },
            &triangles);
    }
    return triangles;
}

bool UseMode(DemoApp& app, DWORD width, DWORD height, DWORD bits) {
    DeviceInfo* device = app.selectedDevice;
    for (DWORD i = 0; device != nullptr && i < device->modeCount; ++i) {
        const DDSURFACEDESC2& mode = device->modes[i];
        if (mode.dwWidth == width && mode.dwHeight == height &&
            mode.ddpfPixelFormat.dwRGBBitCount == bits) {
            if (device->currentModeIndex == i && !device->windowed) {
                return true;
            }
            device->currentModeIndex = i;
            device->currentMode = mode;
            device->windowed = FALSE;
            return SUCCEEDED(app.ChangeEnvironment()) && app.device != nullptr;
        }
    }
    return false;
}

long PeakResidentKilobytes() {
    FILE* status = std::fopen("/proc/self/status", "r");
    long kilobytes = -1;
    if (status == nullptr) {
        return kilobytes;
    }
    char line[256];
    while (std::fgets(line, sizeof(line), status) != nullptr) {
        if (std::strncmp(line, "VmHWM:", 6) == 0) {
            kilobytes = std::strtol(line + 6, nullptr, 10);
        }
    }
    std::fclose(status);
    return kilobytes;
}

struct SceneResult {
    double medianMs = 0, worstMs = 0, drawMedianMs = 0;
    long drawAllocations = 0, otherAllocations = 0;
};

// Frame steps at `frames` times spread evenly inside the scene, never on its exact boundaries.
SceneResult RunScene(MeasuredDemo& app, host::ManualClock& clock, const BenchScene& scene,
                     int frames, bool measured) {
    std::vector<double> steps, draws;
    steps.reserve(size_t(frames));
    draws.reserve(size_t(frames));
    SceneResult result;
    for (int i = 0; i < frames; ++i) {
        const float t = BenchMoment(scene, i, frames);
        clock.Set(app.baseTime + DWORD(t * 1000.0f));
        const long before = allocations.load();
        const auto start = Clock::now();
        inMeasuredStep = measured;
        app.FrameStep();
        inMeasuredStep = false;
        const long made = allocations.load() - before;
        steps.push_back(MillisecondsSince(start));
        draws.push_back(app.lastDrawMs);
        result.drawAllocations += app.lastDrawAllocations;
        result.otherAllocations += made - app.lastDrawAllocations;
    }
    std::sort(steps.begin(), steps.end());
    std::sort(draws.begin(), draws.end());
    result.medianMs = steps[steps.size() / 2];
    result.worstMs = steps.back();
    result.drawMedianMs = draws[draws.size() / 2];
    return result;
}

void MeasureScenes(MeasuredDemo& app, host::ManualClock& clock, int frames) {
    // A first pass makes what each device object makes on its first use (textures uploaded,
    // buffers grown); its allocations are reported apart from those of the measured pass.
    long firstUse = 0;
    for (const BenchScene& scene : BENCH_SCENES) {
        const SceneResult warm = RunScene(app, clock, scene, 4, false);
        firstUse += warm.drawAllocations;
    }
    std::printf("  allocations in DrawFrame while warming up (first use of textures, buffers): "
                "%ld\n",
                firstUse);
    std::printf("  %-10s %8s %8s %8s %8s %12s %12s\n", "scene", "median", "worst", "fps med",
                "fps worst", "draw median", "allocations");
    for (const BenchScene& scene : BENCH_SCENES) {
        const SceneResult r = RunScene(app, clock, scene, frames, true);
        std::printf("  %-10s %6.2fms %6.2fms %8.1f %8.1f %10.2fms %5ld / %-5ld\n", scene.name,
                    r.medianMs, r.worstMs, 1000.0 / r.medianMs, 1000.0 / r.worstMs, r.drawMedianMs,
                    r.drawAllocations, r.otherAllocations);
    }
}

} // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(5, std::atoi(argv[1])) : 60;
    bench::HeadlessShow show([] {
        if (dialogAfterMs < 0) {
            dialogAfterMs = MillisecondsSince(processStart);
        }
    });
    host::ManualClock& clock = show.clock;
    host::ScopedDrivers drivers(
        {drivers::PrimaryDriver()
             .Device(drivers::GlDevice(drivers::GlKind::SOFTWARE, "EGL software"))
             .Build()});

    MeasuredDemo app;
    if (FAILED(app.Create(GetModuleHandleA(nullptr), nullptr)) || app.device == nullptr ||
        show.Boxes() != 0) {
        std::fprintf(stderr, "the demo did not start on the software device\n");
        return 1;
    }
    app.FrameStep(); // the first frame: the dialog
    std::printf("start to the device dialog: %.0f ms (headless: Create, media, first frame)\n",
                dialogAfterMs);
    std::printf("first frame's DrawFrame allocations (dialog included): %ld\n",
                app.lastDrawAllocations);
    std::printf("triangles per draw of each file: object.1 (slot 2) %ld, object.2 %ld, "
                "object.3 %ld\n",
                Triangles(titleScene.meshes[2]), Triangles(swarmScene.mesh),
                Triangles(rosetteScene.mesh));
    std::printf("%d frames per scene, times per frame step (Animate, DrawFrame, present); "
                "allocations: in DrawFrame / elsewhere in the step\n",
                frames);

    struct Size {
        unsigned long width, height, bits;
    };
    std::vector<Size> sizes;
    for (int i = 2; i < argc; ++i) {
        Size size{};
        if (std::sscanf(argv[i], "%lux%lux%lu", &size.width, &size.height, &size.bits) != 3) {
            std::fprintf(stderr, "a mode is WIDTHxHEIGHTxBITS, not %s\n", argv[i]);
            return 2;
        }
        sizes.push_back(size);
    }
    if (sizes.empty()) {
        sizes = {{640, 480, 16}, {1600, 1200, 16}};
    }
    for (const Size& size : sizes) {
        if (!UseMode(app, DWORD(size.width), DWORD(size.height), DWORD(size.bits))) {
            std::fprintf(stderr, "no %lux%lux%lu mode\n", size.width, size.height, size.bits);
            return 1;
        }
        std::printf("%lu x %lu x %lu:\n", size.width, size.height, size.bits);
        MeasureScenes(app, clock, frames);
    }
    std::printf("peak resident memory: %.1f MB\n", double(PeakResidentKilobytes()) / 1024.0);

    // The end of the show, as the program reaches it: the frame after 118 s releases the
    // texture surfaces and the mesh files.
    clock.Set(app.baseTime + 118500);
    app.FrameStep();
    return 0;
}
