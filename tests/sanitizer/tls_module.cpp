// A loadable module with 16 bytes of thread-local storage. Loaded at run time, its storage is
// dynamic TLS: each thread's block is allocated on that thread's first access.
extern "C" long* ModuleThreadLocal() {
    thread_local long value[2];
    return value;
}
