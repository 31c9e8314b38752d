// The start-up dialog answered at once, for the page's measured runs (?at=, the benchmark): the
// default device in the default mode (640 x 480 x 16), "c o n t i n u e".
#pragma once

#include "platform/host/host.h"
#include "platform/win32/dialog_controls.h"
#include "platform/win32/user.h"

class ContinuingDialog final : public host::DialogHandler {
public:
    bool RunModal(HWND dialog, const DialogTemplate&) override {
        if (!dialogs::ClickButton(GetDlgItem(dialog, IDOK))) {
            dialogs::PressEnter(dialog);
        }
        return true;
    }
};
