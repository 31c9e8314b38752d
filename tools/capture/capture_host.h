// The host's seams set for a capture, for as long as the object lives:
//
// - the clock behind timeGetTime reads the frame schedule (one frame per presented frame);
// - the start-up dialog is answered at once: the default device (the capture's only one) with
//   "c o n t i n u e"; the chosen display mode is picked first in the mode list that the
//   dialog procedure fills when its template has one, which the capture's copy of dialog 144
//   adds. The default mode, 640 x 480 x 16, changes nothing, as the plain dialog would;
// - message boxes are written to standard error, answered OK and kept for the report;
// - the program's debug output is kept (and with --verbose written to standard error);
// - the drivers are the capture's (capture_drivers.h); the window backend stays headless.
//
// The frame sink is the session's (capture_session.h).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "capture_options.h"
#include "frame_timeline.h"
#include "platform/host/drivers.h"

namespace capture {

class CaptureHost {
public:
    CaptureHost(const FrameSchedule& schedule, const CaptureOptions& options,
                host::DriverSet drivers);
    ~CaptureHost();
    CaptureHost(const CaptureHost&) = delete;
    CaptureHost& operator=(const CaptureHost&) = delete;

    // "caption: text" of each message box, in order.
    const std::vector<std::string>& MessageBoxes() const;
    // What went wrong with the start-up dialog, or "" (the dialog may never have come).
    const std::string& DialogProblem() const;
    // The last lines of the program's debug output.
    std::string DebugOutput() const;

private:
    struct Seams;
    std::unique_ptr<Seams> seams_;
};

// The program's resources, with dialog 144 given the mode list its procedure looks for.
void RegisterCaptureResources();

// The text the device dialog shows for a mode: "640 x 480 x 16".
std::string ModeText(int width, int height, int depth);

} // namespace capture
