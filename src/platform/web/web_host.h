// The web host: the host's seams on the page. The canvas is the program's window, with the
// browser's events and the canvas's WebGL 2 context (web_window_backend.h); boxes and the
// start-up dialog are HTML on the page (web_dialog.h). The clock stays the monotonic one: the
// browser's. program.h installs it with the browser's driver set.
#pragma once

#include <functional>

namespace web {

void InstallWebHost();
void UninstallWebHost();

// Called as each frame is handed to the browser, once WebGL has finished drawing it (the wait
// costs time, so only a benchmark sets one). Null removes it.
void SetFrameObserver(std::function<void()> observer);

} // namespace web
