// Modal dialogs: DialogBoxParamA, EndDialog, GetDlgItem and the dialog window's procedure.
#include "platform/host/host.h"
#include "platform/win32/dialog_controls.h"
#include "platform/win32/kernel.h"
#include "platform/win32/window_frame.h"
#include "platform/win32/window_records.h"

namespace {

ControlKind KindOf(const DialogControlTemplate& control) {
    const std::string& name = control.className;
    if (lstrcmpiA(name.c_str(), "combobox") == 0) {
        return ControlKind::ComboBox;
    }
    if (lstrcmpiA(name.c_str(), "static") == 0) {
        return ControlKind::Static;
    }
    if (lstrcmpiA(name.c_str(), "button") != 0) {
        return ControlKind::Other;
    }
    switch (control.style & 0x0F) { // the button type
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        return ControlKind::PushButton;
    case BS_GROUPBOX:
        return ControlKind::GroupBox;
    default:
        return ControlKind::CheckBox; // check boxes and their radio-button cousins
    }
}

RECT DialogClientOnScreen(const DialogTemplate& dialogTemplate, HWND owner) {
    RECT size = dialogs::DialogUnitsToPixels(RECT{0, 0, dialogTemplate.cx, dialogTemplate.cy});
    LONG width = size.right, height = size.bottom;
    POINT origin{};
    if ((dialogTemplate.style & DS_CENTER) != 0) {
        RECT desktop = host::Windows().DesktopRect();
        origin = {desktop.left + (desktop.right - desktop.left - width) / 2,
                  desktop.top + (desktop.bottom - desktop.top - height) / 2};
    } else {
        // Without DS_CENTER the template's position is relative to the owner's client area.
        RECT at = dialogs::DialogUnitsToPixels(RECT{dialogTemplate.x, dialogTemplate.y, 0, 0});
        origin = {at.left, at.top};
        ClientToScreen(owner, &origin);
    }
    return RECT{origin.x, origin.y, origin.x + width, origin.y + height};
}

HWND CreateDialogWindow(const DialogTemplate& dialogTemplate, HINSTANCE instance, HWND owner) {
    RECT client = DialogClientOnScreen(dialogTemplate, owner);
    RECT outer = WindowRectFromClientRect(client, dialogTemplate.style, dialogTemplate.exStyle);
    WindowCreateParams params;
    params.exStyle = dialogTemplate.exStyle;
    params.className = "#32770";
    params.title = dialogTemplate.caption.c_str();
    params.style = dialogTemplate.style & ~WS_VISIBLE; // the presenter decides how it is shown
    params.x = outer.left;
    params.y = outer.top;
    params.width = outer.right - outer.left;
    params.height = outer.bottom - outer.top;
    params.parent = IsWindow(owner) ? owner : nullptr;
    params.instance = instance;
    params.allowNative = false;
    HWND dialog = CreateWindowInternal(params, [&](WindowRecord& record) {
        record.dialog = std::make_unique<DialogState>();
        record.dialog->dialogTemplate = dialogTemplate;
    });
    if (dialog == nullptr) {
        return nullptr;
    }
    for (const DialogControlTemplate& control : dialogTemplate.controls) {
        RECT units{control.x, control.y, control.x + control.cx, control.y + control.cy};
        RECT pixels = dialogs::DialogUnitsToPixels(units);
        WindowCreateParams child;
        child.className = control.className.c_str();
        child.title = control.text.c_str();
        child.style = WS_CHILD | WS_VISIBLE | control.style;
        child.x = pixels.left;
        child.y = pixels.top;
        child.width = pixels.right - pixels.left;
        child.height = pixels.bottom - pixels.top;
        child.parent = dialog;
        child.menu = reinterpret_cast<HMENU>(static_cast<intptr_t>(control.id));
        child.instance = instance;
        HWND created = CreateWindowInternal(child, [&](WindowRecord& record) {
            record.control = std::make_unique<ControlState>();
            record.control->kind = KindOf(control);
            record.control->dialogUnits = units;
        });
        if (created == nullptr) {
            DestroyWindow(dialog); // a control of an unknown class fails the whole dialog
            return nullptr;
        }
    }
    return dialog;
}

HWND FirstControl(HWND dialog) {
    const WindowRecord* record = FindWindowRecord(dialog);
    return record != nullptr && !record->children.empty() ? record->children.front() : nullptr;
}

} // namespace

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure,
                        LPARAM initParam) {
    const DialogTemplate* found = FindDialogResource(templateName);
    host::DialogHandler* handler = host::Dialogs();
    if (found == nullptr || handler == nullptr || procedure == nullptr) {
        return -1;
    }
    DialogTemplate dialogTemplate = *found; // the presenter's copy; nothing can change it
    HWND dialog = CreateDialogWindow(dialogTemplate, instance, owner);
    if (dialog == nullptr) {
        return -1;
    }
    FindWindowRecord(dialog)->dialog->procedure = procedure;

    // Modal: the owner takes no input until the dialog ends.
    bool disabledOwner = IsWindow(owner) && IsWindowEnabled(owner);
    if (disabledOwner) {
        EnableWindow(owner, FALSE);
    }
    SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(FirstControl(dialog)), initParam);

    INT_PTR result = -1;
    bool shown = dialogs::IsDialogEnded(dialog) || handler->RunModal(dialog, dialogTemplate);
    if (const WindowRecord* record = FindWindowRecord(dialog);
        shown && record != nullptr && record->dialog->ended) {
        result = record->dialog->result;
    }
    DestroyWindow(dialog);
    if (disabledOwner) {
        EnableWindow(owner, TRUE);
    }
    return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    WindowRecord* record = FindWindowRecord(dialog);
    if (record == nullptr || !record->dialog) {
        return FALSE;
    }
    record->dialog->ended = true;
    record->dialog->result = result;
    return TRUE;
}

HWND GetDlgItem(HWND dialog, int id) {
    const WindowRecord* record = FindWindowRecord(dialog);
    if (record == nullptr) {
        return nullptr;
    }
    for (HWND child : record->children) {
        const WindowRecord* control = FindWindowRecord(child);
        if (control != nullptr && control->id == id) {
            return child;
        }
    }
    return nullptr;
}

LRESULT DialogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const WindowRecord* record = FindWindowRecord(window);
    DLGPROC procedure = record != nullptr && record->dialog ? record->dialog->procedure : nullptr;
    if (procedure != nullptr) {
        INT_PTR handled = procedure(window, message, wParam, lParam);
        if (handled != FALSE) {
            return handled;
        }
    }
    if (message == WM_CLOSE) {
        // Closing a dialog is cancelling it; the procedure decides what that means.
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDCANCEL)));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
