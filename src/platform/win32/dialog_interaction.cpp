#include "platform/win32/dialog_interaction.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/win32/user.h"

namespace dialogs {

namespace {

constexpr WORD VK_F4_KEY = VK_F1 + 3;

bool IsButton(const dialogs::ControlView& control) {
    return control.kind == ControlKind::PushButton || control.kind == ControlKind::CheckBox;
}

bool IsListNavigationKey(WORD key) {
    return key == VK_UP || key == VK_DOWN || key == VK_HOME || key == VK_END || key == VK_PRIOR ||
           key == VK_NEXT;
}

// Where a navigation key moves from `current` in a list of `count` items, `page` rows at a time.
// With nothing selected every key starts at the first item.
int NavigateTo(WORD key, int current, int count, int page) {
    if (count <= 0) {
        return -1;
    }
    if (current < 0) {
        return key == VK_END ? count - 1 : 0;
    }
    int target = current;
    switch (key) {
    case VK_UP:
        target = current - 1;
        break;
    case VK_DOWN:
        target = current + 1;
        break;
    case VK_HOME:
        target = 0;
        break;
    case VK_END:
        target = count - 1;
        break;
    case VK_PRIOR:
        target = current - std::max(1, page - 1);
        break;
    case VK_NEXT:
        target = current + std::max(1, page - 1);
        break;
    default:
        break;
    }
    return std::clamp(target, 0, count - 1);
}

} // namespace

DialogInteraction::DialogInteraction(HWND dialog) : dialog_(dialog) {
    Refresh();
}

bool DialogInteraction::Finished() const {
    return !IsWindow(dialog_) || dialogs::IsDialogEnded(dialog_);
}

void DialogInteraction::Refresh() {
    if (!dialogs::ReadDialog(dialog_, &view_)) {
        view_ = dialogs::DialogView{};
    }
    // Controls may have gone or been disabled under the states that name them.
    auto usable = [&](HWND control) {
        const dialogs::ControlView* found = Find(control);
        return found != nullptr && Focusable(*found);
    };
    if (!usable(pressed_)) {
        pressed_ = nullptr;
        pressedShown_ = pressedByMouse_ = false;
    }
    if (!usable(dropped_)) {
        dropped_ = nullptr;
    } else {
        SetHighlight(highlight_);
    }
    if (!usable(focus_)) {
        focus_ = nullptr;
        const dialogs::ControlView* fallback = nullptr;
        for (const dialogs::ControlView& control : view_.controls) {
            if (!Focusable(control)) {
                continue;
            }
            if (control.kind == ControlKind::ComboBox) {
                fallback = &control;
                break;
            }
            if (fallback == nullptr || (control.isDefault && !fallback->isDefault)) {
                fallback = &control;
            }
        }
        focus_ = fallback != nullptr ? fallback->handle : nullptr;
    }
}

const dialogs::ControlView* DialogInteraction::Find(HWND control) const {
    if (control == nullptr) {
        return nullptr;
    }
    for (const dialogs::ControlView& candidate : view_.controls) {
        if (candidate.handle == control) {
            return &candidate;
        }
    }
    return nullptr;
}

bool DialogInteraction::Focusable(const dialogs::ControlView& control) const {
    return control.enabled && (control.kind == ControlKind::ComboBox || IsButton(control));
}

ComboGeometry DialogInteraction::GeometryOf(const dialogs::ControlView& combo) const {
    return LayoutCombo(combo.pixels, static_cast<int>(combo.items.size()), view_.clientPixels);
}

int DialogInteraction::ItemCount(HWND combo) const {
    const dialogs::ControlView* found = Find(combo);
    return found != nullptr ? static_cast<int>(found->items.size()) : 0;
}

// Group boxes and static texts sit over other controls (the group box encloses the device list)
// but take no input, so only combo boxes and buttons are looked for.
const dialogs::ControlView* DialogInteraction::Interactive(POINT point) const {
    for (const dialogs::ControlView& control : view_.controls) {
        if (!Focusable(control)) {
            continue;
        }
        const RECT area =
            control.kind == ControlKind::ComboBox ? GeometryOf(control).field : control.pixels;
        if (RectContains(area, point)) {
            return &control;
        }
    }
    return nullptr;
}

void DialogInteraction::MoveFocus(bool backwards) {
    std::vector<HWND> order;
    for (const dialogs::ControlView& control : view_.controls) {
        if (Focusable(control)) {
            order.push_back(control.handle);
        }
    }
    if (order.empty()) {
        return;
    }
    auto at = std::find(order.begin(), order.end(), focus_);
    size_t index = at == order.end() ? 0 : static_cast<size_t>(at - order.begin());
    index = backwards ? (index + order.size() - 1) % order.size() : (index + 1) % order.size();
    focus_ = order[index];
}

void DialogInteraction::StepSelection(const dialogs::ControlView& combo, WORD key) {
    const int count = static_cast<int>(combo.items.size());
    const int target = NavigateTo(key, combo.selection, count, GeometryOf(combo).rows);
    if (target < 0 || target == combo.selection) {
        return;
    }
    dialogs::SelectComboItem(combo.handle, target);
    Refresh();
}

void DialogInteraction::SetHighlight(int item) {
    const dialogs::ControlView* combo = Find(dropped_);
    const int count = ItemCount(dropped_);
    if (combo == nullptr || count == 0) {
        highlight_ = -1;
        firstVisible_ = 0;
        return;
    }
    const int rows = GeometryOf(*combo).rows;
    highlight_ = item < 0 ? -1 : std::min(item, count - 1);
    if (highlight_ >= 0 && highlight_ < firstVisible_) {
        firstVisible_ = highlight_;
    } else if (highlight_ >= firstVisible_ + rows) {
        firstVisible_ = highlight_ - rows + 1;
    }
    firstVisible_ = std::clamp(firstVisible_, 0, std::max(0, count - rows));
}

void DialogInteraction::OpenList(const dialogs::ControlView& combo) {
    dropped_ = combo.handle;
    firstVisible_ = 0;
    SetHighlight(combo.selection);
}

void DialogInteraction::CloseList(bool pick) {
    HWND combo = dropped_;
    const int item = highlight_;
    dropped_ = nullptr;
    highlight_ = -1;
    firstVisible_ = 0;
    if (pick && item >= 0) {
        dialogs::SelectComboItem(combo, item);
    }
    Refresh();
}

bool DialogInteraction::ListKey(WORD key, bool alt) {
    const dialogs::ControlView* combo = Find(dropped_);
    if (combo == nullptr) {
        return false;
    }
    if (key == VK_RETURN || key == VK_F4_KEY || (alt && (key == VK_UP || key == VK_DOWN))) {
        CloseList(true);
        return true;
    }
    if (key == VK_ESCAPE) {
        CloseList(false);
        return true;
    }
    if (key == VK_TAB) {
        CloseList(false);
        return false; // the focus moves on as well
    }
    if (IsListNavigationKey(key)) {
        SetHighlight(NavigateTo(key, highlight_, ItemCount(dropped_), GeometryOf(*combo).rows));
    }
    return true; // a dropped list takes every other key too
}

void DialogInteraction::KeyDown(WORD key, bool alt, bool shift) {
    if (Finished() || (dropped_ != nullptr && ListKey(key, alt))) {
        return;
    }
    const dialogs::ControlView* focused = Find(focus_);
    switch (key) {
    case VK_RETURN:
        if (focused != nullptr && focused->kind == ControlKind::PushButton) {
            dialogs::ClickButton(focused->handle);
        } else {
            dialogs::PressEnter(dialog_);
        }
        Refresh();
        return;
    case VK_ESCAPE:
        dialogs::PressEscape(dialog_);
        Refresh();
        return;
    case VK_TAB:
        MoveFocus(shift);
        return;
    case VK_SPACE:
        if (focused != nullptr && IsButton(*focused) && pressed_ == nullptr) {
            pressed_ = focused->handle;
            pressedShown_ = true;
            pressedByMouse_ = false;
        }
        return;
    default:
        break;
    }
    if (focused == nullptr || focused->kind != ControlKind::ComboBox) {
        return;
    }
    if (key == VK_F4_KEY || (alt && (key == VK_UP || key == VK_DOWN))) {
        OpenList(*focused);
    } else if (IsListNavigationKey(key)) {
        StepSelection(*focused, key);
    }
}

void DialogInteraction::KeyUp(WORD key) {
    if (key != VK_SPACE || pressed_ == nullptr || pressedByMouse_) {
        return;
    }
    HWND button = pressed_;
    pressed_ = nullptr;
    pressedShown_ = false;
    dialogs::ClickButton(button);
    Refresh();
}

void DialogInteraction::MouseDown(POINT point) {
    if (Finished()) {
        return;
    }
    if (const dialogs::ControlView* combo = Find(dropped_)) {
        const ComboGeometry geometry = GeometryOf(*combo);
        const int row = ListRowAt(geometry, point);
        if (row >= 0) {
            SetHighlight(firstVisible_ + row);
        } else if (RectContains(geometry.list, point)) {
            // The scroll bar: its upper half scrolls up a row, its lower half down.
            const LONG middle = (geometry.list.top + geometry.list.bottom) / 2;
            Wheel(point.y < middle ? 1 : -1);
        } else {
            CloseList(false); // a press on the box itself, or anywhere else
        }
        return;
    }
    const dialogs::ControlView* control = Interactive(point);
    if (control == nullptr) {
        return;
    }
    focus_ = control->handle;
    if (control->kind == ControlKind::ComboBox) {
        OpenList(*control);
        return;
    }
    pressed_ = control->handle;
    pressedShown_ = true;
    pressedByMouse_ = true;
}

void DialogInteraction::MouseMove(POINT point) {
    if (pressed_ != nullptr && pressedByMouse_) {
        const dialogs::ControlView* button = Find(pressed_);
        pressedShown_ = button != nullptr && RectContains(button->pixels, point);
    }
    if (const dialogs::ControlView* combo = Find(dropped_)) {
        const int row = ListRowAt(GeometryOf(*combo), point);
        if (row >= 0) {
            SetHighlight(firstVisible_ + row);
        }
    }
}

void DialogInteraction::MouseUp(POINT point) {
    if (pressed_ != nullptr && pressedByMouse_) {
        const dialogs::ControlView* button = Find(pressed_);
        const bool inside = button != nullptr && RectContains(button->pixels, point);
        HWND released = pressed_;
        pressed_ = nullptr;
        pressedShown_ = pressedByMouse_ = false;
        if (inside) {
            dialogs::ClickButton(released);
            Refresh();
        }
        return;
    }
    if (const dialogs::ControlView* combo = Find(dropped_)) {
        const int row = ListRowAt(GeometryOf(*combo), point);
        if (row >= 0) {
            SetHighlight(firstVisible_ + row);
            CloseList(true);
        }
    }
}

void DialogInteraction::Wheel(int steps) {
    if (const dialogs::ControlView* combo = Find(dropped_)) {
        const int rows = GeometryOf(*combo).rows;
        const int count = static_cast<int>(combo->items.size());
        firstVisible_ = std::clamp(firstVisible_ - steps, 0, std::max(0, count - rows));
        return;
    }
    // A wheel over the dialog turns the focused combo box's selection, a step per notch.
    const dialogs::ControlView* focused = Find(focus_);
    if (focused == nullptr || focused->kind != ControlKind::ComboBox) {
        return;
    }
    const int notches = std::min(std::abs(steps), static_cast<int>(focused->items.size()));
    for (int i = 0; i < notches && !Finished(); ++i) {
        const dialogs::ControlView* combo = Find(focus_);
        if (combo == nullptr) {
            break;
        }
        StepSelection(*combo, steps > 0 ? VK_UP : VK_DOWN);
    }
}

void DialogInteraction::CloseRequested() {
    if (!Finished()) {
        SendMessageA(dialog_, WM_CLOSE, 0, 0);
        Refresh();
    }
}

} // namespace dialogs
