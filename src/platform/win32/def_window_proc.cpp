// DefWindowProcA: what a window does with the messages its procedure leaves alone.
#include "platform/win32/window_records.h"

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_SYSCOMMAND:
        // The low four bits of a system command are the platform's own.
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            SendMessageA(window, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            ShowWindow(window, SW_MINIMIZE);
            break;
        case SC_RESTORE:
            ShowWindow(window, SW_RESTORE);
            break;
        default:
            break; // moving, sizing and maximising are the window manager's business here
        }
        return 0;
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_SETCURSOR:
        // The class cursor over the client area; a window without one leaves the cursor alone.
        if (const WindowRecord* record = FindWindowRecord(window);
            record != nullptr && record->cursor != nullptr) {
            SetCursor(record->cursor);
            return TRUE;
        }
        return FALSE;
    case WM_ERASEBKGND:
        return TRUE;
    default:
        // WM_GETMINMAXINFO arrives filled with the platform's values; WM_PAINT is validated when
        // it is taken from the queue. Everything else has nothing to do by default.
        return 0;
    }
}
