// Window rectangles, positions and styles: GetWindowRect, GetClientRect, ClientToScreen,
// SetWindowPos, GetWindowLongA and SetWindowLongA, and the WM_SIZE / WM_MOVE reports.
#include <algorithm>

#include "platform/host/host.h"
#include "platform/win32/window_frame.h"
#include "platform/win32/window_records.h"

namespace {

constexpr int MAX_WINDOW_EXTENT = 32767;

// Screen position of the origin the record's rectangle is relative to.
POINT ParentClientOrigin(const WindowRecord& record) {
    const WindowRecord* parent = FindWindowRecord(record.parent);
    if (parent == nullptr) {
        return POINT{0, 0};
    }
    RECT client = ClientRectOnScreen(*parent);
    return POINT{client.left, client.top};
}

RECT Offset(RECT rect, POINT by) {
    return RECT{rect.left + by.x, rect.top + by.y, rect.right + by.x, rect.bottom + by.y};
}

// Brings the native window in line with the record after the program changed it.
void SyncNative(const WindowRecord& record) {
    host::Windows().ApplyStyle(record.native, record.style, record.exStyle);
    host::Windows().SetWindowRect(record.native, record.rect);
}

} // namespace

RECT WindowRectOnScreen(const WindowRecord& record) {
    return Offset(record.rect, ParentClientOrigin(record));
}

RECT ClientRectOnScreen(const WindowRecord& record) {
    RECT client =
        ClientRectFromWindowRect(WindowRectOnScreen(record), record.style, record.exStyle);
    if ((record.style & WS_MINIMIZE) != 0) {
        client.right = client.left;
        client.bottom = client.top;
    }
    return client;
}

void ReportGeometry(HWND window, Delivery delivery) {
    WindowRecord* record = FindWindowRecord(window);
    if (record == nullptr) {
        return;
    }
    bool minimized = (record->style & WS_MINIMIZE) != 0;
    RECT client = ClientRectOnScreen(*record);
    SIZE size{client.right - client.left, client.bottom - client.top};
    POINT origin{client.left, client.top};
    // Children report their origin relative to the parent's client area.
    if (record->parent != nullptr) {
        POINT base = ParentClientOrigin(*record);
        origin.x -= base.x;
        origin.y -= base.y;
    }

    bool sizeChanged = !record->reported || minimized != record->reportedMinimized ||
                       size.cx != record->reportedClientSize.cx ||
                       size.cy != record->reportedClientSize.cy;
    // A minimised window keeps its place; the platform's icon position is of no use to anyone.
    bool moved = !minimized && (!record->reported || origin.x != record->reportedClientOrigin.x ||
                                origin.y != record->reportedClientOrigin.y);
    // Recorded before the messages go out, so a handler that asks again sees them as told.
    record->reported = true;
    record->reportedMinimized = minimized;
    record->reportedClientSize = size;
    if (!minimized) {
        record->reportedClientOrigin = origin;
    }

    auto deliver = [delivery](HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
        if (delivery == Delivery::SEND) {
            SendMessageA(target, message, wParam, lParam);
        } else {
            PostMessageA(target, message, wParam, lParam);
        }
    };
    if (sizeChanged) {
        WPARAM kind = minimized                            ? SIZE_MINIMIZED
                      : (record->style & WS_MAXIMIZE) != 0 ? SIZE_MAXIMIZED
                                                           : SIZE_RESTORED;
        deliver(window, WM_SIZE, kind,
                MAKELPARAM(static_cast<WORD>(size.cx), static_cast<WORD>(size.cy)));
    }
    if (moved) {
        deliver(window, WM_MOVE, 0,
                MAKELPARAM(static_cast<WORD>(origin.x), static_cast<WORD>(origin.y)));
    }
}

BOOL GetWindowRect(HWND window, RECT* rect) {
    const WindowRecord* record = FindWindowRecord(window);
    if (record == nullptr || rect == nullptr) {
        return FALSE;
    }
    *rect = WindowRectOnScreen(*record);
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
    const WindowRecord* record = FindWindowRecord(window);
    if (record == nullptr || rect == nullptr) {
        return FALSE;
    }
    RECT client = ClientRectOnScreen(*record);
    *rect = RECT{0, 0, client.right - client.left, client.bottom - client.top};
    return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point) {
    const WindowRecord* record = FindWindowRecord(window);
    if (record == nullptr || point == nullptr) {
        return FALSE;
    }
    RECT client = ClientRectOnScreen(*record);
    point->x += client.left;
    point->y += client.top;
    return TRUE;
}

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    WindowRecord* record = FindWindowRecord(window);
    if (record == nullptr) {
        return FALSE;
    }
    if ((flags & SWP_NOZORDER) == 0 && record->parent == nullptr) {
        if (insertAfter == HWND_TOPMOST) {
            record->exStyle |= WS_EX_TOPMOST;
        } else if (insertAfter == HWND_NOTOPMOST) {
            record->exStyle &= ~WS_EX_TOPMOST;
        }
    }
    RECT& rect = record->rect;
    if ((flags & SWP_NOMOVE) == 0) {
        LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
        rect = RECT{x, y, x + width, y + height};
    }
    if ((flags & SWP_NOSIZE) == 0) {
        rect.right = rect.left + std::clamp(cx, 0, MAX_WINDOW_EXTENT);
        rect.bottom = rect.top + std::clamp(cy, 0, MAX_WINDOW_EXTENT);
    }
    SyncNative(*record);
    ReportGeometry(window, Delivery::SEND);
    if ((flags & SWP_SHOWWINDOW) != 0) {
        ShowWindow(window, SW_SHOW);
    } else if ((flags & SWP_HIDEWINDOW) != 0) {
        ShowWindow(window, SW_HIDE);
    }
    return TRUE;
}

LONG GetWindowLongA(HWND window, int index) {
    const WindowRecord* record = FindWindowRecord(window);
    if (record == nullptr) {
        return 0;
    }
    switch (index) {
    case GWL_STYLE:
        return static_cast<LONG>(record->style);
    case GWL_EXSTYLE:
        return static_cast<LONG>(record->exStyle);
    case GWL_HINSTANCE:
        // The module handle is a small value by design (kernel.cpp), so this loses nothing.
        return static_cast<LONG>(reinterpret_cast<intptr_t>(record->instance));
    case GWL_ID:
        return record->id;
    case GWL_USERDATA:
        return record->userData;
    default:
        // GWL_WNDPROC among others: a procedure address does not fit in 32 bits here.
        return 0;
    }
}

LONG SetWindowLongA(HWND window, int index, LONG value) {
    WindowRecord* record = FindWindowRecord(window);
    if (record == nullptr) {
        return 0;
    }
    LONG previous = GetWindowLongA(window, index);
    switch (index) {
    case GWL_STYLE:
        // The window keeps its rectangle; its frame, and so its client area, follow the style.
        record->style = static_cast<DWORD>(value);
        SyncNative(*record);
        break;
    case GWL_EXSTYLE:
        record->exStyle = static_cast<DWORD>(value);
        SyncNative(*record);
        break;
    case GWL_HINSTANCE:
        record->instance = reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(value));
        break;
    case GWL_ID:
        record->id = value;
        break;
    case GWL_USERDATA:
        record->userData = value;
        break;
    default:
        return 0;
    }
    return previous;
}
