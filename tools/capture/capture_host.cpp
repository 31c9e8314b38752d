#include "capture_host.h"

#include <cstdio>
#include <mutex>

#include "framework/device_dialog.h"
#include "platform/host/host.h"
#include "platform/win32/dialog_controls.h"
#include "platform/win32/resources.h"
#include "platform/win32/user.h"
#include "resources/program_resources.h"

namespace capture {

namespace {

// Only the end of a long debug output is kept: it says what failed last.
constexpr size_t DEBUG_OUTPUT_LIMIT = 16 * 1024;

class ScheduleClock final : public host::ClockSource {
public:
    explicit ScheduleClock(const FrameSchedule& schedule) : schedule_(schedule) {}
    DWORD Milliseconds() override { return schedule_.ClockMilliseconds(); }

private:
    const FrameSchedule& schedule_;
};

class BoxesToStandardError final : public host::MessageBoxHandler {
public:
    int Show(HWND, const char* text, const char* caption, UINT) override {
        const std::string line =
            std::string(caption != nullptr ? caption : "") + " " + (text != nullptr ? text : "");
        std::fprintf(stderr, "lumenfall: message box: %s\n", line.c_str());
        std::fflush(stderr);
        boxes.push_back(line);
        return IDOK;
    }
    std::vector<std::string> boxes;
};

class ModeChoosingDialog final : public host::DialogHandler {
public:
    explicit ModeChoosingDialog(std::string mode) : mode_(std::move(mode)) {}

    bool RunModal(HWND dialog, const DialogTemplate&) override {
        HWND modeList = GetDlgItem(dialog, IDC_MODE_LIST);
        dialogs::DialogView view;
        int wanted = -1;
        if (modeList != nullptr && dialogs::ReadDialog(dialog, &view)) {
            for (const dialogs::ControlView& control : view.controls) {
                for (size_t i = 0; control.handle == modeList && i < control.items.size(); ++i) {
                    if (control.items[i] == mode_) {
                        wanted = int(i);
                    }
                }
            }
        }
        if (wanted < 0) {
            problem = "the device does not offer the display mode " + mode_;
            dialogs::PressEscape(dialog);
            return true;
        }
        dialogs::SelectComboItem(modeList, wanted);
        if (!dialogs::ClickButton(GetDlgItem(dialog, IDOK))) {
            problem = "the start-up dialog has no \"c o n t i n u e\" button";
            dialogs::PressEscape(dialog);
        }
        return true;
    }

    std::string problem;

private:
    std::string mode_;
};

} // namespace

struct CaptureHost::Seams {
    Seams(const FrameSchedule& schedule, const CaptureOptions& options, host::DriverSet set)
        : clock(schedule), dialog(ModeText(options.width, options.height, options.depth)),
          drivers(std::move(set)), verbose(options.verbose) {}

    ScheduleClock clock;
    BoxesToStandardError boxes;
    ModeChoosingDialog dialog;
    host::ScopedDrivers drivers;
    bool verbose;
    std::mutex debugMutex; // debug output may come from any thread
    std::string debug;
};

CaptureHost::CaptureHost(const FrameSchedule& schedule, const CaptureOptions& options,
                         host::DriverSet drivers)
    : seams_(std::make_unique<Seams>(schedule, options, std::move(drivers))) {
    Seams* seams = seams_.get();
    host::SetWindowBackend(nullptr); // headless
    host::SetClock(&seams->clock);
    host::SetMessageBoxHandler(&seams->boxes);
    host::SetDialogHandler(&seams->dialog);
    host::SetDebugOutputSink([seams](const char* text) {
        if (seams->verbose) {
            std::fputs(text, stderr);
        }
        std::lock_guard<std::mutex> lock(seams->debugMutex);
        seams->debug += text;
        if (seams->debug.size() > DEBUG_OUTPUT_LIMIT) {
            seams->debug.erase(0, seams->debug.size() - DEBUG_OUTPUT_LIMIT);
        }
    });
}

CaptureHost::~CaptureHost() {
    host::SetDebugOutputSink(nullptr);
    host::SetDialogHandler(nullptr);
    host::SetMessageBoxHandler(nullptr);
    host::SetClock(nullptr);
}

const std::vector<std::string>& CaptureHost::MessageBoxes() const {
    return seams_->boxes.boxes;
}

const std::string& CaptureHost::DialogProblem() const {
    return seams_->dialog.problem;
}

std::string CaptureHost::DebugOutput() const {
    std::lock_guard<std::mutex> lock(seams_->debugMutex);
    return seams_->debug;
}

std::string ModeText(int width, int height, int depth) {
    return std::to_string(width) + " x " + std::to_string(height) + " x " + std::to_string(depth);
}

void RegisterCaptureResources() {
    RegisterProgramResources();
    const DialogTemplate* program = FindDialogResource(MAKEINTRESOURCEA(IDD_DEVICE_DIALOG));
    if (program == nullptr) {
        return;
    }
    DialogTemplate withModes = *program;
    // Under the device list, as wide; the dialog grows by one row to hold it.
    constexpr int MODE_LIST_ROW = 18;
    withModes.cy += MODE_LIST_ROW;
    withModes.controls.push_back(DialogControlTemplate{
        IDC_MODE_LIST, "combobox", CBS_DROPDOWNLIST | WS_VSCROLL, 15, program->cy + 2, 99, 47, ""});
    RegisterDialogResource(IDD_DEVICE_DIALOG, withModes);
}

} // namespace capture
