// Entry point of the lumenfall executable: the program's resources are registered, as the
// platform's loader would have mapped them, and WinMain runs under the desktop host.
#include "demo/demo_app.h"
#include "platform/host/program.h"
#include "resources/program_resources.h"

int main(int argc, char** argv) {
    RegisterProgramResources();
    return host::RunDesktopProgram(argc, argv, WinMain);
}
