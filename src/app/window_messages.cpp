// The window procedure and the application's handling of window messages and commands.
#include "app/application.h"
#include "framework/device_dialog.h"
#include "platform/win32/kernel.h"
#include "platform/win32/user.h"

LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (theApplication != nullptr) {
        return theApplication->HandleMessage(hwnd, message, wParam, lParam);
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

INT_PTR AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, 1);
    }
    return FALSE;
}

bool Application::Windowed() const {
    return selectedDevice != nullptr && selectedDevice->windowed;
}

LRESULT Application::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        CleanupEnvironment();
        PostQuitMessage(0);
        return 0;

    case WM_MOVE:
        // The windowed back buffer is blitted to the client area's screen position.
        if (displayDevice != nullptr && active && ready && Windowed()) {
            displayDevice->MoveScreenRect(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        }
        break;

    case WM_SIZE:
        active = (wParam == SIZE_MINIMIZED || wParam == SIZE_MAXHIDE) ? FALSE : TRUE;
        // A window's back buffer has the client area's size, so a new size needs a new
        // environment.
        if (active && ready && Windowed()) {
            ready = FALSE;
            if (FAILED(ChangeEnvironment())) {
                return 0;
            }
            ready = TRUE;
        }
        break;

    case WM_PAINT:
        if (displayDevice != nullptr && !ready) {
            if (Windowed()) {
                displayDevice->ShowFrame(); // the last frame again
            } else {
                displayDevice->FlipToGdi(TRUE);
            }
        }
        break;

    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;

    case WM_SETCURSOR:
        // No cursor over a running full-screen picture.
        if (active && ready && !Windowed()) {
            SetCursor(nullptr);
            return 1;
        }
        break;

    case WM_GETMINMAXINFO:
        if (auto* info = reinterpret_cast<MINMAXINFO*>(lParam); info != nullptr) {
            info->ptMinTrackSize.x = 100;
            info->ptMinTrackSize.y = 100;
        }
        break;

    case WM_CONTEXTMENU: {
        // Menu 142 is not among the program's resources, so nothing is shown.
        HMENU menu = LoadMenuA(nullptr, MAKEINTRESOURCEA(IDR_POPUP_MENU));
        TrackPopupMenuEx(GetSubMenu(menu, 0), TPM_VERTICAL, LOWORD(static_cast<WPARAM>(lParam)),
                         HIWORD(static_cast<WPARAM>(lParam)), hwnd, nullptr);
        break;
    }

    case WM_NCHITTEST:
        // A full-screen window cannot be dragged or sized.
        if (!Windowed()) {
            return HTCLIENT;
        }
        break;

    case WM_COMMAND:
        return HandleCommand(hwnd, message, wParam, lParam);

    case WM_SYSCOMMAND:
        // Compared with the whole wParam, as the commands arrive unmasked from the window's own
        // system menu.
        if ((wParam == SC_MOVE || wParam == SC_SIZE || wParam == SC_MAXIMIZE ||
             wParam == SC_MONITORPOWER) &&
            !Windowed()) {
            return 1;
        }
        break;

    case WM_ENTERMENULOOP:
        Pause(true);
        break;

    case WM_EXITMENULOOP:
        Pause(false);
        break;

    case WM_POWERBROADCAST:
        if (wParam == PBT_APMQUERYSUSPEND) {
            return QuerySuspend(lParam);
        }
        if (wParam == PBT_APMRESUMESUSPEND) {
            return ResumeSuspend(lParam);
        }
        break;

    case WM_ENTERSIZEMOVE:
        if (timeRunning) {
            stopTime = timeGetTime();
        }
        break;

    case WM_EXITSIZEMOVE:
        if (timeRunning) {
            baseTime += timeGetTime() - stopTime;
        }
        break;

    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT Application::HandleCommand(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case CMD_ABOUT:
        // Dialog 143 is not among the program's resources; the box never opens.
        Pause(true);
        DialogBoxParamA(reinterpret_cast<HINSTANCE>(static_cast<ULONG_PTR>(
                            static_cast<DWORD>(GetWindowLongA(hwnd, GWL_HINSTANCE)))),
                        MAKEINTRESOURCEA(IDD_ABOUT), hwnd, AboutProc, 0);
        Pause(false);
        return 0;

    case CMD_CHANGE_DEVICE:
        if (active && ready) {
            Pause(true);
            if (SUCCEEDED(SelectDeviceDialog(&selectedDevice))) {
                // A failed change has shown the box and asked the window to close; the pause
                // stays, so no frame is drawn on the way out.
                if (FAILED(ChangeEnvironment())) {
                    return 0;
                }
            }
            Pause(false);
        }
        return 0;

    case CMD_TOGGLE_FULLSCREEN:
        if (active && ready && selectedDevice != nullptr) {
            ready = FALSE;
            selectedDevice->windowed = !selectedDevice->windowed;
            if (FAILED(ChangeEnvironment())) {
                return 0;
            }
            ready = TRUE;
        }
        return 0;

    case CMD_TOGGLE_TIME:
        timeRunning = !timeRunning;
        if (timeRunning) {
            baseTime += timeGetTime() - stopTime;
        } else {
            stopTime = timeGetTime();
        }
        break;

    case CMD_SINGLE_STEP:
        if (!timeRunning) {
            baseTime += timeGetTime() - (stopTime + 100);
        }
        stopTime = timeGetTime();
        timeRunning = FALSE;
        singleStep = TRUE;
        break;

    case CMD_EXIT:
        SendMessageA(hwnd, WM_CLOSE, 0, 0);
        return 0;

    case CMD_TOGGLE_STATS:
        showStats = !showStats;
        return 0;

    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
