#include "platform/web/web_host.h"

#include "platform/host/host.h"
#include "platform/web/web_dialog.h"
#include "platform/web/web_page.h"
#include "platform/web/web_window_backend.h"

namespace web {

namespace {

// A box on the page that waits for its OK; every box the program shows has that one button.
class PageMessageBox final : public host::MessageBoxHandler {
public:
    int Show(HWND, const char* text, const char* caption, UINT) override {
        ShowPageBox(caption != nullptr ? caption : "", text != nullptr ? text : "");
        return IDOK;
    }
};

struct WebHost {
    WebWindowBackend windows;
    PageMessageBox boxes;
    PageDialog dialogs;
};

WebHost* installed = nullptr;

} // namespace

void InstallWebHost() {
    if (installed != nullptr) {
        return;
    }
    installed = new WebHost;
    host::SetWindowBackend(&installed->windows);
    host::SetMessageBoxHandler(&installed->boxes);
    host::SetDialogHandler(&installed->dialogs);
    host::SetDebugOutputSink(WriteToConsole);
}

void UninstallWebHost() {
    if (installed == nullptr) {
        return;
    }
    host::SetDebugOutputSink(nullptr);
    host::SetDialogHandler(nullptr);
    host::SetMessageBoxHandler(nullptr);
    host::SetWindowBackend(nullptr);
    delete installed;
    installed = nullptr;
}

} // namespace web
