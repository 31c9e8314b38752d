#include "platform/win32/native_window_events.h"

#include "platform/win32/window_frame.h"
#include "platform/win32/window_records.h"

void NativeWindowPlaced(HWND window, POINT clientOrigin, SIZE clientSize) {
    WindowRecord* record = FindWindowRecord(window);
    if (record == nullptr || record->parent != nullptr || (record->style & WS_MINIMIZE) != 0 ||
        clientSize.cx < 0 || clientSize.cy < 0) {
        return;
    }
    RECT client{clientOrigin.x, clientOrigin.y, clientOrigin.x + clientSize.cx,
                clientOrigin.y + clientSize.cy};
    record->rect = WindowRectFromClientRect(client, record->style, record->exStyle);
    ReportGeometry(window, Delivery::POST);
}

void NativeWindowMinimized(HWND window, bool minimized) {
    WindowRecord* record = FindWindowRecord(window);
    if (record == nullptr || ((record->style & WS_MINIMIZE) != 0) == minimized) {
        return;
    }
    if (minimized) {
        record->style |= WS_MINIMIZE;
    } else {
        record->style &= ~WS_MINIMIZE;
        record->needsPaint = true;
    }
    ReportGeometry(window, Delivery::POST);
}

void NativeWindowCloseRequested(HWND window) {
    if (IsWindow(window)) {
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
}

void NativeWindowExposed(HWND window) {
    if (WindowRecord* record = FindWindowRecord(window)) {
        record->needsPaint = true; // one WM_PAINT however many exposures arrive before it
    }
}

void NativeWindowFocused(HWND window, bool focused) {
    if (!IsWindow(window)) {
        return;
    }
    if (focused) {
        if (ForegroundRecord() != window) {
            SetForegroundRecord(window);
            PostMessageA(window, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
            PostMessageA(window, WM_SETFOCUS, 0, 0);
        }
    } else if (ForegroundRecord() == window) {
        SetForegroundRecord(nullptr);
        PostMessageA(window, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
        PostMessageA(window, WM_KILLFOCUS, 0, 0);
    }
}

void NativeKeyEvent(HWND window, WORD virtualKey, unsigned scanCode, bool down, bool repeat,
                    bool altHeld) {
    if (!IsWindow(window)) {
        return;
    }
    // lParam: repeat count 1, the scan code, bit 29 for Alt, bit 30 when the key was down
    // before, bit 31 when it is going up.
    DWORD bits = 1u | ((scanCode & 0xFFu) << 16);
    if (altHeld) {
        bits |= 1u << 29;
    }
    if (repeat || !down) {
        bits |= 1u << 30;
    }
    if (!down) {
        bits |= 1u << 31;
    }
    UINT message = altHeld || virtualKey == VK_MENU ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP)
                                                    : (down ? WM_KEYDOWN : WM_KEYUP);
    PostMessageA(window, message, virtualKey, static_cast<LPARAM>(bits));
}

void NativePointerOver(HWND window) {
    if (IsWindow(window)) {
        SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                     MAKELPARAM(static_cast<WORD>(HTCLIENT), static_cast<WORD>(WM_MOUSEMOVE)));
    }
}
