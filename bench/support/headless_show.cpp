// The headless show's seams.
#include "support/headless_show.h"

#include <cstdio>
#include <cstdlib>

#include "platform/host/presentation.h"
#include "platform/win32/dialog_controls.h"
#include "resources/program_resources.h"

namespace bench {

namespace {

class ConfirmingDialogs final : public host::DialogHandler {
public:
    explicit ConfirmingDialogs(std::function<void()> onDialog) : onDialog_(std::move(onDialog)) {}
    bool RunModal(HWND dialog, const DialogTemplate&) override {
        if (onDialog_) {
            onDialog_();
        }
        return dialogs::PressEnter(dialog);
    }

private:
    std::function<void()> onDialog_;
};

class ReportingBoxes final : public host::MessageBoxHandler {
public:
    int Show(HWND, const char* text, const char* caption, UINT) override {
        std::fprintf(stderr, "box: %s: %s\n", caption, text);
        ++count;
        return IDOK;
    }
    int count = 0;
};

} // namespace

struct HeadlessShow::Seams {
    explicit Seams(std::function<void()> onDialog) : dialogs(std::move(onDialog)) {}
    ConfirmingDialogs dialogs;
    ReportingBoxes boxes;
};

HeadlessShow::HeadlessShow(std::function<void()> onDialog)
    : seams_(new Seams(std::move(onDialog))) {
    // The registry's built-in default: the media beside the build's bin folder.
    setenv("LUMENFALL_REGISTRY", "/nonexistent/lumenfall-bench-registry.ini", 0);
    host::SetClock(&clock);
    host::SetMessageBoxHandler(&seams_->boxes);
    host::SetDialogHandler(&seams_->dialogs);
    host::SetFrameSink([](const host::PresentedFrame&) {});
    RegisterProgramResources();
}

HeadlessShow::~HeadlessShow() {
    host::SetFrameSink(nullptr);
    host::SetDialogHandler(nullptr);
    host::SetMessageBoxHandler(nullptr);
    host::SetClock(nullptr);
    delete seams_;
}

int HeadlessShow::Boxes() const {
    return seams_->boxes.count;
}

} // namespace bench
