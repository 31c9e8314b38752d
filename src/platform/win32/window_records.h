// Window objects of the USER layer (internal): classes, per-HWND records, creation and the
// geometry the program has been told about.
//
// A window is a record keyed by its HWND. Handles are never reused, so a destroyed HWND stays
// invalid for the rest of the run and every call on it fails safely. Records are looked up again
// after every call into a window procedure: a procedure may destroy any window, its own included.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/dialog_controls.h"
#include "platform/win32/resources.h"
#include "platform/win32/user.h"

namespace host {
struct NativeWindow;
}

struct WindowClassRecord {
    ATOM atom = 0;
    std::string name;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
};

struct ComboItem {
    std::string text;
    LPARAM data = 0;
};

// What a dialog control keeps beyond the common window record.
struct ControlState {
    ControlKind kind = ControlKind::Other;
    RECT dialogUnits{}; // the template's rectangle
    std::vector<ComboItem> items;
    int selection = -1;
    WPARAM check = BST_UNCHECKED;
};

// What a modal dialog keeps while DialogBoxParamA runs it.
struct DialogState {
    DLGPROC procedure = nullptr;
    DialogTemplate dialogTemplate;
    bool ended = false;
    INT_PTR result = 0;
};

struct WindowRecord {
    HWND handle = nullptr;
    std::string className;
    WNDPROC procedure = nullptr;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    std::string title;
    DWORD style = 0;
    DWORD exStyle = 0;
    // Top-level windows: the window rectangle in screen coordinates. Children: relative to the
    // parent's client area.
    RECT rect{};
    int id = 0;
    LONG userData = 0;
    HWND parent = nullptr; // children only
    HWND owner = nullptr;  // top-level windows created with a parent
    std::vector<HWND> children;
    host::NativeWindow* native = nullptr;
    bool needsPaint = false;
    bool destroying = false;
    POINT minTrackSize{};

    // The client size, origin and state last told to the program (WM_SIZE, WM_MOVE), so that
    // reports from the window system that change nothing are not repeated.
    bool reported = false;
    bool reportedMinimized = false;
    SIZE reportedClientSize{};
    POINT reportedClientOrigin{};

    std::unique_ptr<DialogState> dialog;
    std::unique_ptr<ControlState> control;
};

// Null for null, never-created and destroyed handles.
WindowRecord* FindWindowRecord(HWND window);
const WindowClassRecord* FindWindowClass(LPCSTR name);
// Every live window, in creation order.
std::vector<HWND> AllWindows();
// The table itself: handles are handed out once and never again.
WindowRecord& InsertWindowRecord(std::unique_ptr<WindowRecord> record);
void EraseWindowRecord(HWND window);
HWND ForegroundRecord();

struct WindowCreateParams {
    DWORD exStyle = 0;
    LPCSTR className = nullptr;
    LPCSTR title = nullptr;
    DWORD style = 0;
    int x = 0, y = 0, width = 0, height = 0;
    HWND parent = nullptr;
    HMENU menu = nullptr; // the control id for children
    HINSTANCE instance = nullptr;
    LPVOID param = nullptr;
    bool allowNative = true; // dialogs are shown by the host's dialog presenter instead
};
// Creates a window; `prepare` runs on the new record before its first message.
HWND CreateWindowInternal(const WindowCreateParams& params,
                          const std::function<void(WindowRecord&)>& prepare = {});

// Geometry as the program sees it.
RECT ClientRectOnScreen(const WindowRecord& record); // empty while minimised
RECT WindowRectOnScreen(const WindowRecord& record);

// Tells the program about client size, origin and minimised state that differ from what it was
// last told: WM_SIZE, then WM_MOVE. Sent at once for changes the program asked for, posted for
// changes that come from the window system.
enum class Delivery { SEND, POST };
void ReportGeometry(HWND window, Delivery delivery);

// Makes a top-level window the foreground window, with WM_ACTIVATE to the old and the new one.
void ActivateWindow(HWND window);
void SetForegroundRecord(HWND window);

// Procedures of the system window classes "button", "combobox", "static" and "#32770".
LRESULT ButtonWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ComboBoxWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DialogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
