// CreateWindowExA and DestroyWindow, and the link between window records and native windows.
#include <algorithm>

#include "platform/host/host.h"
#include "platform/win32/resource_handles.h"
#include "platform/win32/window_frame.h"
#include "platform/win32/window_records.h"

namespace {

// Window sizes are kept within what fits a signed 16-bit lParam word.
constexpr int MAX_WINDOW_EXTENT = 32767;
// Default positions cascade down and right from the desktop's corner, as the platform's do.
constexpr int CASCADE_STEP = 26;
constexpr int CASCADE_COUNT = 8;
// The platform's smallest sizable window.
constexpr LONG MIN_TRACK_WIDTH = 112;
constexpr LONG MIN_TRACK_HEIGHT = 27;

int ClampExtent(int value) {
    return std::clamp(value, 0, MAX_WINDOW_EXTENT);
}

RECT InitialRect(const WindowCreateParams& params) {
    bool child = (params.style & WS_CHILD) != 0;
    bool overlapped = !child && (params.style & WS_POPUP) == 0;
    int x = params.x, y = params.y, width = params.width, height = params.height;
    if (params.x == CW_USEDEFAULT) {
        x = y = 0;
        if (overlapped) {
            static int cascade = 0;
            RECT desktop = host::Windows().DesktopRect();
            int step = CASCADE_STEP * (1 + cascade++ % CASCADE_COUNT);
            x = desktop.left + step;
            y = desktop.top + step;
        }
    }
    if (params.width == CW_USEDEFAULT) {
        width = height = 0;
        if (overlapped) {
            RECT desktop = host::Windows().DesktopRect();
            width = (desktop.right - desktop.left) * 3 / 4;
            height = (desktop.bottom - desktop.top) * 3 / 4;
        }
    }
    width = ClampExtent(width);
    height = ClampExtent(height);
    return RECT{x, y, x + width, y + height};
}

void AskMinMaxInfo(HWND window) {
    WindowRecord* record = FindWindowRecord(window);
    if (record == nullptr) {
        return;
    }
    RECT desktop = host::Windows().DesktopRect();
    FrameInsets frame = NominalFrameInsets(record->style, record->exStyle);
    MINMAXINFO info{};
    info.ptMaxSize = {desktop.right - desktop.left + frame.left + frame.right,
                      desktop.bottom - desktop.top + frame.top + frame.bottom};
    info.ptMaxPosition = {desktop.left - frame.left, desktop.top - frame.top};
    info.ptMinTrackSize = {MIN_TRACK_WIDTH, MIN_TRACK_HEIGHT};
    info.ptMaxTrackSize = info.ptMaxSize;
    SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));

    record = FindWindowRecord(window);
    if (record == nullptr) {
        return;
    }
    record->minTrackSize = info.ptMinTrackSize;
    RECT minimum = ClientRectFromWindowRect(
        RECT{0, 0, info.ptMinTrackSize.x, info.ptMinTrackSize.y}, record->style, record->exStyle);
    host::Windows().SetMinimumClientSize(record->native, minimum.right - minimum.left,
                                         minimum.bottom - minimum.top);
}

void CreateNativeWindow(WindowRecord& record, const WindowClassRecord& windowClass) {
    host::NativeWindowRequest request;
    request.window = record.handle;
    request.title = record.title.c_str();
    request.rect = record.rect;
    request.style = record.style; // still without WS_VISIBLE: shown once creation has finished
    request.exStyle = record.exStyle;
    record.native = host::Windows().CreateNativeWindow(request);
    if (record.native != nullptr) {
        record.native->window = record.handle;
        if (const IconResource* icon = IconFromHandle(windowClass.icon)) {
            host::Windows().SetIcon(record.native, *icon);
        }
    }
}

} // namespace

HWND CreateWindowInternal(const WindowCreateParams& params,
                          const std::function<void(WindowRecord&)>& prepare) {
    const WindowClassRecord* windowClass = FindWindowClass(params.className);
    if (windowClass == nullptr) {
        return nullptr;
    }
    bool child = (params.style & WS_CHILD) != 0;
    if ((child || params.parent != nullptr) && FindWindowRecord(params.parent) == nullptr) {
        return nullptr; // a child needs a live parent; an owner must be live too
    }

    auto created = std::make_unique<WindowRecord>();
    created->className = windowClass->name;
    created->procedure = windowClass->procedure;
    created->instance = params.instance;
    created->icon = windowClass->icon;
    created->cursor = windowClass->cursor;
    created->title = params.title != nullptr ? params.title : "";
    // The platform creates the window hidden and shows it once WM_CREATE has been handled.
    created->style = params.style & ~WS_VISIBLE;
    created->exStyle = params.exStyle;
    created->rect = InitialRect(params);
    if (child) {
        created->parent = params.parent;
        created->id = static_cast<int>(reinterpret_cast<intptr_t>(params.menu));
    } else {
        created->owner = params.parent;
    }
    WindowRecord& record = InsertWindowRecord(std::move(created));
    HWND window = record.handle;
    if (child) {
        FindWindowRecord(params.parent)->children.push_back(window);
    }
    if (prepare) {
        prepare(record);
    }
    if (!child && params.allowNative) {
        CreateNativeWindow(record, *windowClass);
    }

    if (!child) {
        AskMinMaxInfo(window);
    }
    // The procedure may have destroyed its window while answering.
    const WindowRecord* current = FindWindowRecord(window);
    if (current == nullptr) {
        return nullptr;
    }
    CREATESTRUCTA create{};
    create.lpCreateParams = params.param;
    create.hInstance = params.instance;
    create.hMenu = params.menu;
    create.hwndParent = params.parent;
    create.cx = current->rect.right - current->rect.left;
    create.cy = current->rect.bottom - current->rect.top;
    create.x = current->rect.left;
    create.y = current->rect.top;
    create.style = static_cast<LONG>(params.style);
    create.lpszName = params.title;
    create.lpszClass = params.className;
    create.dwExStyle = params.exStyle;
    // WM_NCCREATE's answer is not checked: a procedure that answers 0 to everything it does not
    // know still gets its window. WM_CREATE answering -1 refuses the window, as on the platform.
    SendMessageA(window, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create));
    if (FindWindowRecord(window) == nullptr) {
        return nullptr;
    }
    if (SendMessageA(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(window);
        return nullptr;
    }
    if (FindWindowRecord(window) == nullptr) {
        return nullptr;
    }
    ReportGeometry(window, Delivery::SEND);
    if ((params.style & WS_VISIBLE) != 0 && FindWindowRecord(window) != nullptr) {
        ShowWindow(window, SW_SHOW);
    }
    return FindWindowRecord(window) != nullptr ? window : nullptr;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    WindowCreateParams params;
    params.exStyle = exStyle;
    params.className = className;
    params.title = windowName;
    params.style = style;
    params.x = x;
    params.y = y;
    params.width = width;
    params.height = height;
    params.parent = parent;
    params.menu = menu;
    params.instance = instance;
    params.param = param;
    return CreateWindowInternal(params);
}

BOOL DestroyWindow(HWND window) {
    WindowRecord* record = FindWindowRecord(window);
    if (record == nullptr || record->destroying) {
        return FALSE;
    }
    record->destroying = true;
    // The window leaves the screen first; its native window (and any GL context on it) stays
    // until the program has handled WM_DESTROY, which is where it releases what it drew with.
    if ((record->style & WS_VISIBLE) != 0) {
        record->style &= ~WS_VISIBLE;
        host::Windows().ApplyStyle(record->native, record->style, record->exStyle);
    }
    if (ForegroundRecord() == window) {
        SetForegroundRecord(nullptr);
    }
    SendMessageA(window, WM_DESTROY, 0, 0);

    // Children go after their parent has had WM_DESTROY, as on the platform. Owned top-level
    // windows go too.
    for (HWND other : AllWindows()) {
        WindowRecord* otherRecord = FindWindowRecord(other);
        if (otherRecord != nullptr &&
            (otherRecord->parent == window || otherRecord->owner == window)) {
            DestroyWindow(other);
        }
    }

    record = FindWindowRecord(window);
    if (record->native != nullptr) {
        host::NativeWindow* native = record->native;
        record->native = nullptr;
        host::Windows().DestroyNativeWindow(native);
    }
    SendMessageA(window, WM_NCDESTROY, 0, 0);

    record = FindWindowRecord(window);
    if (WindowRecord* parent = FindWindowRecord(record->parent)) {
        auto& siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    }
    EraseWindowRecord(window);
    return TRUE;
}

namespace host {

NativeWindow* NativeWindowOf(HWND window) {
    WindowRecord* record = FindWindowRecord(window);
    return record != nullptr ? record->native : nullptr;
}

// Called when the window backend changes: the old backend's native windows go, the records stay.
void DetachNativeWindows() {
    for (HWND window : AllWindows()) {
        WindowRecord* record = FindWindowRecord(window);
        if (record != nullptr && record->native != nullptr) {
            NativeWindow* native = record->native;
            record->native = nullptr;
            Windows().DestroyNativeWindow(native);
        }
    }
}

} // namespace host
