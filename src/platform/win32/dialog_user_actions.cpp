// The dialog core's view for presenters, and the user's actions on a running dialog.
#include "platform/win32/dialog_controls.h"
#include "platform/win32/window_records.h"

namespace dialogs {

namespace {

WPARAM CommandFrom(int id, WORD notification) {
    return MAKEWPARAM(static_cast<WORD>(id), notification);
}

// The dialog a control belongs to, when the control exists, is enabled and its dialog runs.
HWND ActiveDialogOf(HWND control) {
    const WindowRecord* record = FindWindowRecord(control);
    if (record == nullptr || !record->control || (record->style & WS_DISABLED) != 0) {
        return nullptr;
    }
    const WindowRecord* dialog = FindWindowRecord(record->parent);
    return dialog != nullptr && dialog->dialog && !dialog->dialog->ended ? dialog->handle : nullptr;
}

bool IsDefaultButton(const WindowRecord& record) {
    return record.control && record.control->kind == ControlKind::PushButton &&
           (record.style & 0x0F) == BS_DEFPUSHBUTTON;
}

} // namespace

RECT DialogUnitsToPixels(const RECT& units) {
    return RECT{units.left * DIALOG_BASE_X / 4, units.top * DIALOG_BASE_Y / 8,
                units.right * DIALOG_BASE_X / 4, units.bottom * DIALOG_BASE_Y / 8};
}

bool ReadDialog(HWND dialog, DialogView* view) {
    const WindowRecord* record = FindWindowRecord(dialog);
    if (record == nullptr || !record->dialog || view == nullptr) {
        return false;
    }
    *view = DialogView{};
    view->handle = dialog;
    view->owner = record->owner;
    view->caption = record->title;
    RECT client{};
    GetClientRect(dialog, &client);
    view->clientPixels = SIZE{client.right, client.bottom};
    view->ended = record->dialog->ended;
    view->result = record->dialog->result;
    for (HWND child : record->children) {
        const WindowRecord* control = FindWindowRecord(child);
        if (control == nullptr || !control->control) {
            continue;
        }
        ControlView item;
        item.handle = child;
        item.id = control->id;
        item.kind = control->control->kind;
        item.style = control->style;
        item.dialogUnits = control->control->dialogUnits;
        item.pixels = control->rect;
        item.text = control->title;
        for (const ComboItem& entry : control->control->items) {
            item.items.push_back(entry.text);
        }
        item.selection = control->control->selection;
        item.checked = control->control->check == BST_CHECKED;
        item.enabled = (control->style & WS_DISABLED) == 0;
        item.isDefault = IsDefaultButton(*control);
        view->controls.push_back(std::move(item));
    }
    return true;
}

bool IsDialogEnded(HWND dialog) {
    const WindowRecord* record = FindWindowRecord(dialog);
    return record != nullptr && record->dialog && record->dialog->ended;
}

bool SelectComboItem(HWND combo, int index) {
    HWND dialog = ActiveDialogOf(combo);
    const WindowRecord* record = FindWindowRecord(combo);
    if (dialog == nullptr || record->control->kind != ControlKind::ComboBox || index < 0 ||
        static_cast<size_t>(index) >= record->control->items.size()) {
        return false;
    }
    int id = record->id;
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // The list reports the change as the selection moves, then confirms it as the list closes.
    SendMessageA(dialog, WM_COMMAND, CommandFrom(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    if (IsWindow(combo) && !IsDialogEnded(dialog)) {
        SendMessageA(dialog, WM_COMMAND, CommandFrom(id, CBN_SELENDOK),
                     reinterpret_cast<LPARAM>(combo));
    }
    return true;
}

bool ClickButton(HWND button) {
    HWND dialog = ActiveDialogOf(button);
    WindowRecord* record = FindWindowRecord(button);
    if (dialog == nullptr || record->control->kind == ControlKind::Static ||
        record->control->kind == ControlKind::GroupBox) {
        return false;
    }
    if (record->control->kind == ControlKind::CheckBox &&
        (record->style & 0x0F) == BS_AUTOCHECKBOX) {
        record->control->check =
            record->control->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    }
    SendMessageA(dialog, WM_COMMAND, CommandFrom(record->id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    return true;
}

bool PressEnter(HWND dialog) {
    const WindowRecord* record = FindWindowRecord(dialog);
    if (record == nullptr || !record->dialog || record->dialog->ended) {
        return false;
    }
    for (HWND child : record->children) {
        const WindowRecord* control = FindWindowRecord(child);
        if (control != nullptr && IsDefaultButton(*control)) {
            return ClickButton(child); // a disabled default button does nothing
        }
    }
    SendMessageA(dialog, WM_COMMAND, CommandFrom(IDOK, BN_CLICKED), 0);
    return true;
}

bool PressEscape(HWND dialog) {
    const WindowRecord* record = FindWindowRecord(dialog);
    if (record == nullptr || !record->dialog || record->dialog->ended) {
        return false;
    }
    SendMessageA(dialog, WM_COMMAND, CommandFrom(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    return true;
}

} // namespace dialogs
