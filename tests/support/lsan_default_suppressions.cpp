// Leak reports that are not the program's: memory the system's graphics and desktop libraries
// keep for the life of the process (the GL driver's per-process state, SDL's D-Bus connection).
// LeakSanitizer asks every test program for these through this hook, so the GL tests need no
// environment of their own; the end-to-end scripts use the same list from
// tests/e2e/lsan-system-libraries.supp.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n"
           "leak:libGLX_mesa.so\n"
           "leak:libEGL_mesa.so\n"
           "leak:libgallium\n"
           "leak:_dri.so\n";
}
