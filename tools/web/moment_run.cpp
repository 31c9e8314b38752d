#include "moment_run.h"

#include "capture/frame_timeline.h"
#include "continuing_dialog.h"
#include "demo/demo_app.h"
#include "platform/host/host.h"
#include "platform/win32/kernel.h"
#include "platform/win32/user.h"

namespace {

class ScheduleClock final : public host::ClockSource {
public:
    explicit ScheduleClock(const capture::FrameSchedule& schedule) : schedule_(schedule) {}
    DWORD Milliseconds() override { return schedule_.ClockMilliseconds(); }

private:
    const capture::FrameSchedule& schedule_;
};

} // namespace

bool DrawOneMoment(int64_t atMicros) {
    capture::FrameSchedule schedule(capture::CapturePlan::Single(atMicros));
    ScheduleClock clock(schedule);
    ContinuingDialog dialog;
    host::DialogHandler* pageDialogs = host::Dialogs();
    host::SetClock(&clock);
    host::SetDialogHandler(&dialog);
    host::SetFrameSink([&schedule](const host::PresentedFrame& frame) {
        const bool wasComplete = schedule.Complete();
        schedule.FramePresented();
        if (schedule.Complete() && !wasComplete) {
            // As Escape would; the frame stays on the canvas.
            PostMessageA(frame.window, WM_CLOSE, 0, 0);
        }
    });
    char commandLine[] = "";
    WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
    host::SetFrameSink(nullptr);
    host::SetDialogHandler(pageDialogs);
    host::SetClock(nullptr);
    return schedule.Complete();
}
