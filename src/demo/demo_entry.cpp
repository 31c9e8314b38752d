// The program's entry: the demo object lives on this frame for the whole run.
#include "demo/demo_app.h"

int WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    DemoApp demo;
    if (FAILED(demo.Create(instance, commandLine))) {
        return 0;
    }
    return static_cast<int>(demo.Run());
}
