// lumenfall-capture: the show rendered offscreen, frame by frame, to PNG files or a video.
#include <cstdio>
#include <string>
#include <vector>

#include "capture_drivers.h"
#include "capture_options.h"
#include "capture_session.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const capture::ParsedCommandLine parsed = capture::ParseCommandLine(arguments);
    switch (parsed.outcome) {
    case capture::ParsedCommandLine::Outcome::HELP:
        std::fputs(capture::UsageText().c_str(), stdout);
        return 0;
    case capture::ParsedCommandLine::Outcome::VERSION:
        std::fputs(capture::VersionText().c_str(), stdout);
        return 0;
    case capture::ParsedCommandLine::Outcome::LIST_DEVICES:
        return capture::ListDevices();
    case capture::ParsedCommandLine::Outcome::ERROR:
        std::fprintf(stderr, "lumenfall-capture: %s\n", parsed.error.c_str());
        return 2;
    case capture::ParsedCommandLine::Outcome::RUN:
        break;
    }
    return capture::RunCapture(parsed.options);
}
