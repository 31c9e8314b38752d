// Dialogs on the page: the dialog core's view of a running dialog (its template's controls with
// the texts, lists and selections the dialog procedure gave them) becomes HTML over the canvas,
// placed as the template places it; what the user does there comes back as the dialog core's
// user actions, so the dialog procedure sees the WM_COMMAND messages the platform's own controls
// would send. Mouse, touch and keyboard work as the browser's controls work; Return presses the
// default button and Escape cancels, wherever the focus is. Keys that reach the program's own
// window meanwhile work the dialog as on the desktop (win32/dialog_interaction.h).
#pragma once

#include <string>

#include "platform/host/host.h"
#include "platform/win32/dialog_controls.h"

namespace web {

class PageDialog final : public host::DialogHandler {
public:
    bool RunModal(HWND dialog, const DialogTemplate& dialogTemplate) override;
};

// The dialog as the page script reads it (JSON): caption, client size, and per control its kind,
// place in pixels, text, items, selection and state. Controls are named by their index.
std::string DescribeDialog(const dialogs::DialogView& view);

} // namespace web
