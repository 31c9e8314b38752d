// Runs a program written against the platform in a browser: the web host is installed, then the
// browser's driver set (web_drivers.h); `run` starts the program (WinMain or a measured run of
// it), and both are taken down again when it returns.
#pragma once

#include <functional>

namespace web {

// Returns what `run` returns.
int RunWebProgram(const std::function<int()>& run);

} // namespace web
