// The window table: classes and window records by handle.
#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include "platform/win32/kernel.h"
#include "platform/win32/window_records.h"

namespace {

// Handles start well above the HWND_ constants (0, 1, -1, -2) and move in steps of 2, so a
// handle is never reused during a run.
constexpr uintptr_t FIRST_WINDOW_HANDLE = 0x10000;
constexpr uintptr_t WINDOW_HANDLE_STEP = 2;
// Class atoms live in the range the platform gives to registered string names.
constexpr ATOM FIRST_CLASS_ATOM = 0xC000;

struct WindowTable {
    std::unordered_map<uintptr_t, std::unique_ptr<WindowRecord>> records;
    std::vector<HWND> order;
    uintptr_t nextHandle = FIRST_WINDOW_HANDLE;
    std::vector<WindowClassRecord> classes;
    HWND foreground = nullptr;

    WindowTable() {
        AddClass("button", ButtonWindowProc);
        AddClass("combobox", ComboBoxWindowProc);
        AddClass("static", StaticWindowProc);
        AddClass("#32770", DialogWindowProc); // the dialog class
    }

    ATOM AddClass(const char* name, WNDPROC procedure) {
        WindowClassRecord record;
        record.atom = static_cast<ATOM>(FIRST_CLASS_ATOM + classes.size());
        record.name = name;
        record.procedure = procedure;
        classes.push_back(record);
        return record.atom;
    }
};

WindowTable& Table() {
    static WindowTable table;
    return table;
}

uintptr_t Key(HWND window) {
    return reinterpret_cast<uintptr_t>(window);
}

} // namespace

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr ||
        IS_INTRESOURCE(windowClass->lpszClassName) || windowClass->lpfnWndProc == nullptr) {
        return 0;
    }
    if (FindWindowClass(windowClass->lpszClassName) != nullptr) {
        return 0; // already registered, as the platform answers
    }
    WindowTable& table = Table();
    ATOM atom = table.AddClass(windowClass->lpszClassName, windowClass->lpfnWndProc);
    WindowClassRecord& record = table.classes.back();
    record.style = windowClass->style;
    record.instance = windowClass->hInstance;
    record.icon = windowClass->hIcon;
    record.cursor = windowClass->hCursor;
    record.background = windowClass->hbrBackground;
    return atom;
}

const WindowClassRecord* FindWindowClass(LPCSTR name) {
    if (name == nullptr) {
        return nullptr;
    }
    for (const WindowClassRecord& record : Table().classes) {
        if (IS_INTRESOURCE(name) ? record.atom == reinterpret_cast<ULONG_PTR>(name)
                                 : lstrcmpiA(record.name.c_str(), name) == 0) {
            return &record;
        }
    }
    return nullptr;
}

WindowRecord* FindWindowRecord(HWND window) {
    if (window == nullptr) {
        return nullptr;
    }
    auto& records = Table().records;
    auto found = records.find(Key(window));
    return found == records.end() ? nullptr : found->second.get();
}

std::vector<HWND> AllWindows() {
    return Table().order;
}

WindowRecord& InsertWindowRecord(std::unique_ptr<WindowRecord> record) {
    WindowTable& table = Table();
    record->handle = reinterpret_cast<HWND>(table.nextHandle);
    table.nextHandle += WINDOW_HANDLE_STEP;
    table.order.push_back(record->handle);
    WindowRecord& stored = *record;
    table.records[Key(stored.handle)] = std::move(record);
    return stored;
}

void EraseWindowRecord(HWND window) {
    WindowTable& table = Table();
    table.records.erase(Key(window));
    table.order.erase(std::remove(table.order.begin(), table.order.end(), window),
                      table.order.end());
    if (table.foreground == window) {
        table.foreground = nullptr;
    }
}

HWND ForegroundRecord() {
    return Table().foreground;
}

void SetForegroundRecord(HWND window) {
    Table().foreground = window;
}

BOOL IsWindow(HWND window) {
    return FindWindowRecord(window) != nullptr ? TRUE : FALSE;
}
