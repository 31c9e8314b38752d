// Where the parts of a dialog's controls lie on screen, in pixels of the dialog's client area.
//
// The dialog core places each control at its template rectangle converted from dialog units with
// the template font's metrics (8-point MS Sans Serif at 96 dpi: 6 x 13 pixels per character, so
// one dialog unit is 6/4 = 1.5 pixels across and 13/8 = 1.625 pixels down; see
// platform/win32/dialog_controls.h). This file splits controls into their parts with the same
// font metrics, whatever font the presenter draws text with, so the layout is the template's.
//
// A combo box's template height includes its dropped list; the closed box is one text line
// high plus its edges. The dropped list opens below the box, or above it when the dialog has no
// room below: the presenter draws inside the dialog's own window, which a list may not leave.
// Pure geometry: no window system, no drawing.
#pragma once

#include "platform/win32/dialog_controls.h"

namespace dialogs {

// One line of the dialog font.
constexpr int DIALOG_LINE_HEIGHT = dialogs::DIALOG_BASE_Y;
// The closed combo box: a line of text, a pixel of margin above and below, and a 2-pixel edge.
constexpr int COMBO_FIELD_HEIGHT = DIALOG_LINE_HEIGHT + 2 + 2 * 2;
// The drop button is as wide as a scroll bar.
constexpr int COMBO_BUTTON_WIDTH = 16;
constexpr int COMBO_EDGE = 2;
// Rows of a dropped list; the list has a 1-pixel frame.
constexpr int LIST_ROW_HEIGHT = DIALOG_LINE_HEIGHT;
constexpr int LIST_FRAME = 1;
constexpr int LIST_SCROLLBAR_WIDTH = 16;

struct ComboGeometry {
    RECT field{};  // the closed box, edge included
    RECT text{};   // where the selected item's text goes, inside the edge
    RECT button{}; // the drop button, inside the edge
    RECT list{};   // the dropped list, frame included
    int rows = 1;  // rows the list shows at once (at least 1)
    bool opensUp = false;
    bool scrolls = false; // more items than rows: the list has a scroll bar
};

// `control` is the combo box's rectangle from the template; `client` the dialog's client size.
ComboGeometry LayoutCombo(const RECT& control, int itemCount, SIZE client);

// The rectangle of visible row `row` (0 is the list's top row), or an empty one past the rows.
RECT ListRowRect(const ComboGeometry& combo, int row);
// The visible row under `point`, or -1 when the point is not on a row.
int ListRowAt(const ComboGeometry& combo, POINT point);

bool RectContains(const RECT& rect, POINT point);

} // namespace dialogs
