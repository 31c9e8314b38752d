// A small program for the end-to-end window test: one overlapped window with the program's icon,
// a message loop with accelerator table 113, and a line on standard output for each step that
// the test script checks. Escape (command 40006) closes the window as the demo's does; a close
// request from outside arrives as WM_CLOSE. Either way the window is destroyed and the quit
// message ends the loop with status 0. The command line "box" shows a message box first.
#include <cstdio>
#include <cstring>

#include "platform/desktop/program.h"
#include "platform/win32/windows.h"
#include "resources/program_resources.h"

namespace {

constexpr WORD CMD_EXIT_COMMAND = 40006;
constexpr const char* WINDOW_TITLE = "lumenfall window test";

void Say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

LRESULT TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == CMD_EXIT_COMMAND) {
            Say("command exit");
            SendMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    case WM_SIZE:
        std::printf("size %d x %d\n", LOWORD(lParam), HIWORD(lParam));
        std::fflush(stdout);
        break;
    case WM_MOVE:
        std::printf("move %d %d\n", GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        std::fflush(stdout);
        break;
    case WM_CLOSE:
        Say("close");
        break;
    case WM_DESTROY:
        Say("destroy");
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int ProgramMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    RegisterProgramResources();
    // With "box" the program first shows the warning box the demo shows when its 3D device
    // fails, and says which button answered it.
    if (std::strcmp(commandLine, "box") == 0) {
        int answer = MessageBoxA(nullptr, "Something doesn't like to work...", "Ichk.",
                                 MB_OK | MB_ICONWARNING);
        std::printf("box answered %d\n", answer);
        std::fflush(stdout);
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM_ICON));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground =
        static_cast<HBRUSH>(static_cast<void*>(GetStockObject(WHITE_BRUSH)));
    windowClass.lpszClassName = "E2E Window";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "E2E Window", WINDOW_TITLE, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 300, 300, nullptr, nullptr,
                                  instance, nullptr);
    if (window == nullptr) {
        Say("no window");
        return 2;
    }
    UpdateWindow(window);
    RECT client{};
    GetClientRect(window, &client);
    std::printf("window %ld x %ld\n", static_cast<long>(client.right),
                static_cast<long>(client.bottom));
    std::fflush(stdout);

    HACCEL accelerators = LoadAcceleratorsA(nullptr, MAKEINTRESOURCEA(IDR_PROGRAM_ACCELERATORS));
    MSG message{};
    BOOL result;
    while ((result = GetMessageA(&message, nullptr, 0, 0)) > 0) {
        if (!TranslateAcceleratorA(window, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    Say("quit");
    return result == 0 ? static_cast<int>(message.wParam) : 3;
}

} // namespace

int main(int argc, char** argv) {
    return desktop::RunDesktopProgram(argc, argv, ProgramMain);
}
