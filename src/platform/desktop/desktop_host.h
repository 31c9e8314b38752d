// The desktop host: the host's seams on SDL2 and Dear ImGui.
//
// Installs SDL windows and events (sdl_window_backend.h), SDL message boxes (standard error when
// there is no display) and the on-screen dialog (imgui_dialog.h). SDL starts here and only here,
// so merely linking the platform layer never opens a display.
#pragma once

namespace desktop {

// False when SDL's video cannot start or no display answers; the headless seams then stay.
bool InstallDesktopHost();
void UninstallDesktopHost();

} // namespace desktop
