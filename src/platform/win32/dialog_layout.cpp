#include "platform/win32/dialog_layout.h"

#include <algorithm>

namespace dialogs {

namespace {

LONG Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

} // namespace

bool RectContains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

ComboGeometry LayoutCombo(const RECT& control, int itemCount, SIZE client) {
    ComboGeometry combo;
    // A template shorter than a closed box still gets a whole one.
    const LONG fieldHeight = COMBO_FIELD_HEIGHT;
    combo.field = RECT{control.left, control.top, control.right, control.top + fieldHeight};
    const RECT inner{combo.field.left + COMBO_EDGE, combo.field.top + COMBO_EDGE,
                     combo.field.right - COMBO_EDGE, combo.field.bottom - COMBO_EDGE};
    const LONG buttonLeft = std::max(inner.left, inner.right - COMBO_BUTTON_WIDTH);
    combo.button = RECT{buttonLeft, inner.top, inner.right, inner.bottom};
    combo.text = RECT{inner.left, inner.top, buttonLeft, inner.bottom};

    // The rest of the template's height is the dropped list, in whole rows.
    const LONG listSpace = Height(control) - fieldHeight - 2 * LIST_FRAME;
    const int fittingRows = std::max<int>(1, static_cast<int>(listSpace / LIST_ROW_HEIGHT));
    combo.rows = std::clamp(itemCount, 1, fittingRows);
    combo.scrolls = itemCount > combo.rows;
    const LONG listHeight = combo.rows * LIST_ROW_HEIGHT + 2 * LIST_FRAME;

    const LONG roomBelow = client.cy - combo.field.bottom;
    const LONG roomAbove = combo.field.top;
    combo.opensUp = listHeight > roomBelow && roomAbove > roomBelow;
    const LONG top = combo.opensUp ? combo.field.top - listHeight : combo.field.bottom;
    combo.list = RECT{combo.field.left, top, combo.field.right, top + listHeight};
    return combo;
}

RECT ListRowRect(const ComboGeometry& combo, int row) {
    if (row < 0 || row >= combo.rows) {
        return RECT{};
    }
    const LONG right = combo.list.right - LIST_FRAME - (combo.scrolls ? LIST_SCROLLBAR_WIDTH : 0);
    const LONG top = combo.list.top + LIST_FRAME + row * LIST_ROW_HEIGHT;
    return RECT{combo.list.left + LIST_FRAME, top, right, top + LIST_ROW_HEIGHT};
}

int ListRowAt(const ComboGeometry& combo, POINT point) {
    for (int row = 0; row < combo.rows; ++row) {
        if (RectContains(ListRowRect(combo, row), point)) {
            return row;
        }
    }
    return -1;
}

} // namespace dialogs
