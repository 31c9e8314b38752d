// Built into every program of a sanitizer build: the runtime's defaults for this project. Options
// set in ASAN_OPTIONS still override them one by one.
//
// intercept_tls_get_addr=0: the runtime's tracking of dynamic TLS sizes each thread's block by
// guessing at a header in front of it. With the C library of today the blocks are ordinary heap
// chunks without such a header, and when one starts 16 bytes into a page the guess reads the
// allocator's own chunk header instead; the leak check at exit then scans a wild range and dies
// ("Tracer caught signal 11"). Whether that happens depends on where the GL driver's blocks land,
// so it came and went from run to run. Untracked, the blocks stay reachable from each thread's
// block table like any other heap memory, and the leak check still sees what they hold.
extern "C" const char* __asan_default_options() {
    return "intercept_tls_get_addr=0";
}
