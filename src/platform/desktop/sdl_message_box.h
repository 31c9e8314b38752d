// Message boxes on screen through SDL. When SDL cannot show one (no display), the caption and
// text go to standard error and IDOK comes back at once, as with no display at all.
#pragma once

#include "platform/host/host.h"

namespace desktop {

class SdlMessageBox final : public host::MessageBoxHandler {
public:
    int Show(HWND owner, const char* text, const char* caption, UINT type) override;
};

} // namespace desktop
