// Menus (asked for, never present), icons and cursors.
#include "platform/host/host.h"
#include "platform/win32/resource_handles.h"
#include "platform/win32/window_records.h"

namespace {

// Stand-ins for the system's own arrow cursor and application icon: distinct addresses that no
// registered resource can have.
char systemArrowCursor;
char systemApplicationIcon;

HCURSOR currentCursor = nullptr;
bool cursorShown = true;

} // namespace

HCURSOR SystemArrowCursor() {
    return reinterpret_cast<HCURSOR>(&systemArrowCursor);
}
HICON SystemApplicationIcon() {
    return reinterpret_cast<HICON>(&systemApplicationIcon);
}

HMENU LoadMenuA(HINSTANCE /*instance*/, LPCSTR /*name*/) {
    return nullptr; // the program's menus 141 and 142 are not among its resources
}

HMENU GetSubMenu(HMENU /*menu*/, int /*position*/) {
    return nullptr;
}

BOOL TrackPopupMenuEx(HMENU menu, UINT /*flags*/, int /*x*/, int /*y*/, HWND /*owner*/,
                      LPVOID /*params*/) {
    return menu != nullptr ? TRUE : FALSE; // no menu can exist, so nothing is ever shown
}

HICON LoadIconA(HINSTANCE /*instance*/, LPCSTR name) {
    if (name == IDI_APPLICATION) {
        return SystemApplicationIcon();
    }
    // The program has one module; a null instance finds its icons too.
    const IconResource* icon = FindIconResource(name);
    return icon != nullptr ? reinterpret_cast<HICON>(const_cast<IconResource*>(icon)) : nullptr;
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
    // Only the system's arrow exists; the program has no cursors of its own.
    return instance == nullptr && name == IDC_ARROW ? SystemArrowCursor() : nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
    HCURSOR previous = currentCursor;
    currentCursor = cursor;
    bool show = cursor != nullptr;
    if (show != cursorShown) {
        cursorShown = show;
        host::Windows().ShowCursor(show);
    }
    return previous;
}
