// Procedures of the dialog controls: combo boxes keep their items, item data and selection;
// buttons keep their check state; statics only show text.
#include <cstring>

#include "platform/win32/window_records.h"

namespace {

// Bounds on what a program may put into a combo box; beyond them CB_ADDSTRING answers
// CB_ERRSPACE, as the platform does when it runs out of room.
constexpr size_t MAX_COMBO_ITEMS = 32767;
constexpr size_t MAX_ITEM_TEXT = 4096;

ControlState* StateOf(HWND window) {
    WindowRecord* record = FindWindowRecord(window);
    return record != nullptr ? record->control.get() : nullptr;
}

// Item indices arrive in a WPARAM; as the platform does, the value is read as a signed int.
bool ValidIndex(const ControlState& state, WPARAM wParam, size_t* index) {
    int value = static_cast<int>(static_cast<intptr_t>(wParam));
    if (value < 0 || static_cast<size_t>(value) >= state.items.size()) {
        return false;
    }
    *index = static_cast<size_t>(value);
    return true;
}

} // namespace

LRESULT ComboBoxWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ControlState* state = StateOf(window);
    if (state == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    size_t index = 0;
    switch (message) {
    case CB_ADDSTRING: {
        const char* text = reinterpret_cast<const char*>(lParam);
        if (text == nullptr) {
            return CB_ERR;
        }
        if (state->items.size() >= MAX_COMBO_ITEMS) {
            return CB_ERRSPACE;
        }
        state->items.push_back(ComboItem{std::string(text, strnlen(text, MAX_ITEM_TEXT)), 0});
        return static_cast<LRESULT>(state->items.size() - 1);
    }
    case CB_GETCOUNT:
        return static_cast<LRESULT>(state->items.size());
    case CB_GETCURSEL:
        return state->selection >= 0 ? state->selection : CB_ERR;
    case CB_SETCURSEL:
        // An index of -1 or past the end clears the selection and answers CB_ERR.
        if (!ValidIndex(*state, wParam, &index)) {
            state->selection = -1;
            return CB_ERR;
        }
        state->selection = static_cast<int>(index);
        return state->selection;
    case CB_GETLBTEXTLEN:
        return ValidIndex(*state, wParam, &index)
                   ? static_cast<LRESULT>(state->items[index].text.size())
                   : CB_ERR;
    case CB_GETLBTEXT: {
        // The platform's contract: the buffer holds CB_GETLBTEXTLEN + 1 bytes.
        char* buffer = reinterpret_cast<char*>(lParam);
        if (buffer == nullptr || !ValidIndex(*state, wParam, &index)) {
            return CB_ERR;
        }
        const std::string& text = state->items[index].text;
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        return static_cast<LRESULT>(text.size());
    }
    case CB_GETITEMDATA:
        return ValidIndex(*state, wParam, &index) ? state->items[index].data : CB_ERR;
    case CB_SETITEMDATA:
        if (!ValidIndex(*state, wParam, &index)) {
            return CB_ERR;
        }
        state->items[index].data = lParam;
        return TRUE;
    case CB_RESETCONTENT:
        state->items.clear();
        state->selection = -1;
        return CB_OKAY;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT ButtonWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ControlState* state = StateOf(window);
    if (state == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    switch (message) {
    case BM_GETCHECK:
        return static_cast<LRESULT>(state->check);
    case BM_SETCHECK:
        state->check = wParam;
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}
