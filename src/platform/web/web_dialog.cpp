// Sections: the dialog as JSON · the modal loop.
#include "platform/web/web_dialog.h"

#include <cstdio>

#include "platform/web/web_page.h"
#include "platform/win32/dialog_interaction.h"
#include "platform/win32/message_queue.h"
#include "platform/win32/modal_message_pump.h"
#include "platform/win32/user.h"

namespace web {

namespace {

// How long the loop waits for the user before it looks at the dialog again: the procedure may
// change its controls on a timer.
constexpr int DIALOG_WAIT_MS = 100;

// ---- The dialog as JSON ------------------------------------------------------------------------

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof(escaped), "\\u%04x", c);
                out += escaped;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

const char* KindName(ControlKind kind) {
    switch (kind) {
    case ControlKind::Static:
        return "static";
    case ControlKind::PushButton:
        return "button";
    case ControlKind::CheckBox:
        return "check";
    case ControlKind::GroupBox:
        return "group";
    case ControlKind::ComboBox:
        return "combo";
    default:
        return "other";
    }
}

HWND ControlAt(const dialogs::DialogView& view, int index) {
    return index >= 0 && size_t(index) < view.controls.size() ? view.controls[size_t(index)].handle
                                                              : nullptr;
}

} // namespace

std::string DescribeDialog(const dialogs::DialogView& view) {
    std::string json = "{\"caption\":" + JsonString(view.caption) +
                       ",\"width\":" + std::to_string(view.clientPixels.cx) +
                       ",\"height\":" + std::to_string(view.clientPixels.cy) + ",\"controls\":[";
    for (size_t i = 0; i < view.controls.size(); ++i) {
        const dialogs::ControlView& c = view.controls[i];
        json += i == 0 ? "{" : ",{";
        json += "\"index\":" + std::to_string(i) + ",\"kind\":\"" + KindName(c.kind) + "\"";
        json += ",\"x\":" + std::to_string(c.pixels.left) +
                ",\"y\":" + std::to_string(c.pixels.top) +
                ",\"width\":" + std::to_string(c.pixels.right - c.pixels.left) +
                ",\"height\":" + std::to_string(c.pixels.bottom - c.pixels.top);
        json += ",\"text\":" + JsonString(c.text) + ",\"items\":[";
        for (size_t k = 0; k < c.items.size(); ++k) {
            json += (k == 0 ? "" : ",") + JsonString(c.items[k]);
        }
        json += "],\"selection\":" + std::to_string(c.selection);
        json += std::string(",\"checked\":") + (c.checked ? "true" : "false");
        json += std::string(",\"enabled\":") + (c.enabled ? "true" : "false");
        json += std::string(",\"isDefault\":") + (c.isDefault ? "true" : "false") + "}";
    }
    return json + "]}";
}

// ---- The modal loop ----------------------------------------------------------------------------

bool PageDialog::RunModal(HWND dialog, const DialogTemplate&) {
    dialogs::DialogView view;
    if (!dialogs::ReadDialog(dialog, &view)) {
        return false;
    }
    std::string shown = DescribeDialog(view);
    OpenPageDialog(shown);
    SetPageState("dialog");
    // Keys that reach the program's window while the dialog runs (the focus was on the canvas)
    // work the dialog as the platform's dialog manager would.
    dialogs::DialogInteraction keys(dialog);
    dialogs::ModalMessagePump pump(dialog, [&keys](const MSG& key) {
        const WORD code = static_cast<WORD>(key.wParam);
        if (key.message == WM_KEYDOWN || key.message == WM_SYSKEYDOWN) {
            keys.Refresh();
            keys.KeyDown(code, (key.lParam & (1L << 29)) != 0, IsKeyDown(VK_SHIFT));
        } else if (key.message == WM_KEYUP || key.message == WM_SYSKEYUP) {
            keys.KeyUp(code);
        }
    });
    while (pump.DeliverWaiting() && !dialogs::IsDialogEnded(dialog)) {
        for (DialogAction action = TakeDialogAction(); action.kind != DialogActionKind::NONE;
             action = TakeDialogAction()) {
            switch (action.kind) {
            case DialogActionKind::SELECT:
                dialogs::SelectComboItem(ControlAt(view, action.control), action.item);
                break;
            case DialogActionKind::CLICK:
                dialogs::ClickButton(ControlAt(view, action.control));
                break;
            case DialogActionKind::ENTER:
                dialogs::PressEnter(dialog);
                break;
            case DialogActionKind::ESCAPE:
                dialogs::PressEscape(dialog);
                break;
            case DialogActionKind::NONE:
                break;
            }
            if (dialogs::IsDialogEnded(dialog)) {
                break;
            }
        }
        if (dialogs::IsDialogEnded(dialog) || !dialogs::ReadDialog(dialog, &view)) {
            break;
        }
        // The procedure may have changed a text, a list or a selection in answer.
        std::string now = DescribeDialog(view);
        if (now != shown) {
            UpdatePageDialog(now);
            shown.swap(now);
        }
        WaitForInput(DIALOG_WAIT_MS);
    }
    ClosePageDialog();
    return true;
}

} // namespace web
