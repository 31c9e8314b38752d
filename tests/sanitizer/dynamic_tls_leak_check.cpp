// The leak check at exit with a thread alive whose dynamic TLS block starts 16 bytes into a
// page: the check has to finish and find nothing. Such a block (the GL driver's threads have
// them) made the sanitizer runtime's TLS tracking read a wild range and end the program with a
// fatal error at exit, depending on where the block happened to land; this puts it there on
// purpose. Exits 77 (skipped) when the allocator does not place the block as expected.
#include <dlfcn.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

// Blocks of the size the module's TLS block has, kept reachable (each holds the one before).
struct Filler {
    Filler* previous;
    long padding;
};
Filler* fillers = nullptr;

std::atomic<int> outcome{0}; // 0 running, 1 placed, 2 not placed
constexpr std::uintptr_t kPage = 4096;
constexpr std::uintptr_t kWanted = 16; // the offset into a page that misled the runtime

void PlaceBlock(long* (*threadLocal)()) {
    // Consecutive blocks of this size lie 32 bytes apart (16 of them the allocator's header):
    // fill until the next one starts 16 bytes into a page, then let the module's block take it.
    for (int i = 0; i < 100000; ++i) {
        auto* filler = static_cast<Filler*>(std::malloc(sizeof(Filler)));
        filler->previous = fillers;
        fillers = filler;
        if ((reinterpret_cast<std::uintptr_t>(filler) + 32) % kPage == kWanted) {
            break;
        }
    }
    const auto block = reinterpret_cast<std::uintptr_t>(threadLocal());
    outcome = block % kPage == kWanted ? 1 : 2;
    for (;;) {
        std::this_thread::sleep_for(std::chrono::hours(1)); // alive while the process exits
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s tls-module.so\n", argv[0]);
        return 2;
    }
    void* module = dlopen(argv[1], RTLD_NOW);
    if (module == nullptr) {
        std::fprintf(stderr, "cannot load %s: %s\n", argv[1], dlerror());
        return 2;
    }
    auto threadLocal = reinterpret_cast<long* (*)()>(dlsym(module, "ModuleThreadLocal"));
    if (threadLocal == nullptr) {
        std::fprintf(stderr, "%s has no ModuleThreadLocal\n", argv[1]);
        return 2;
    }
    std::thread(PlaceBlock, threadLocal).detach();
    while (outcome == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (outcome != 1) {
        std::puts("the allocator did not place the TLS block 16 bytes into a page; skipped");
        return 77;
    }
    std::puts("a dynamic TLS block 16 bytes into a page; the leak check runs at exit");
    return 0;
}
