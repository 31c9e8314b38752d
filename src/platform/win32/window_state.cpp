// Visibility, activation, painting and enabling: ShowWindow, UpdateWindow, RedrawWindow,
// DrawMenuBar, EnableWindow, IsWindowEnabled, GetForegroundWindow.
#include "platform/host/host.h"
#include "platform/win32/window_records.h"

void ActivateWindow(HWND window) {
    HWND previous = ForegroundRecord();
    if (previous == window || !IsWindow(window)) {
        return;
    }
    SetForegroundRecord(window);
    if (previous != nullptr) {
        SendMessageA(previous, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0),
                     reinterpret_cast<LPARAM>(window));
    }
    SendMessageA(window, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(previous));
}

BOOL ShowWindow(HWND window, int command) {
    WindowRecord* record = FindWindowRecord(window);
    if (record == nullptr) {
        return FALSE;
    }
    bool wasVisible = (record->style & WS_VISIBLE) != 0;
    bool wasMinimized = (record->style & WS_MINIMIZE) != 0;
    bool topLevel = record->parent == nullptr;
    switch (command) {
    case SW_HIDE:
        record->style &= ~WS_VISIBLE;
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
        record->style |= WS_VISIBLE | WS_MINIMIZE;
        break;
    default: // SW_SHOW, SW_SHOWNORMAL, SW_RESTORE, SW_SHOWDEFAULT
        record->style |= WS_VISIBLE;
        if (command != SW_SHOW) {
            record->style &= ~WS_MINIMIZE;
        }
        break;
    }
    bool visible = (record->style & WS_VISIBLE) != 0;
    bool minimized = (record->style & WS_MINIMIZE) != 0;
    host::Windows().ApplyStyle(record->native, record->style, record->exStyle);
    if (visible && !wasVisible) {
        record->needsPaint = true;
    }

    if (visible != wasVisible) {
        SendMessageA(window, WM_SHOWWINDOW, visible ? TRUE : FALSE, 0);
    }
    if (minimized != wasMinimized) {
        ReportGeometry(window, Delivery::SEND);
    }
    if (visible && !wasVisible && topLevel && !minimized) {
        ActivateWindow(window);
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND window) {
    WindowRecord* record = FindWindowRecord(window);
    if (record == nullptr) {
        return FALSE;
    }
    if (record->needsPaint && (record->style & WS_VISIBLE) != 0) {
        record->needsPaint = false;
        SendMessageA(window, WM_PAINT, 0, 0);
    }
    return TRUE;
}

BOOL RedrawWindow(HWND window, const RECT* /*update*/, HRGN /*region*/, UINT flags) {
    WindowRecord* record = FindWindowRecord(window);
    if (record == nullptr) {
        return FALSE;
    }
    // Only whole windows are painted here, so the rectangle and region add nothing.
    if ((flags & RDW_INVALIDATE) != 0) {
        record->needsPaint = true;
    }
    if ((flags & RDW_UPDATENOW) != 0) {
        UpdateWindow(window);
    }
    return TRUE;
}

BOOL DrawMenuBar(HWND window) {
    // No window of this program has a menu bar; there is nothing to draw.
    return IsWindow(window);
}

BOOL EnableWindow(HWND window, BOOL enable) {
    WindowRecord* record = FindWindowRecord(window);
    if (record == nullptr) {
        return FALSE;
    }
    bool wasDisabled = (record->style & WS_DISABLED) != 0;
    if (enable) {
        record->style &= ~WS_DISABLED;
    } else {
        record->style |= WS_DISABLED;
    }
    if (wasDisabled == (enable != FALSE)) {
        SendMessageA(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
    }
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window) {
    const WindowRecord* record = FindWindowRecord(window);
    return record != nullptr && (record->style & WS_DISABLED) == 0 ? TRUE : FALSE;
}

HWND GetForegroundWindow() {
    return ForegroundRecord();
}
