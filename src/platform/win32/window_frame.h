// The nominal frame around a window's client area, by style.
//
// A window's rectangle includes its frame; its client area does not. The real frame is drawn by
// whatever window manager runs (or none, under Xvfb), so this platform uses one fixed set of
// metrics, those of the classic look, for both directions of the conversion. That keeps a saved
// window rectangle stable across any number of style switches and restores.
#pragma once

#include "platform/win32/types.h"

struct FrameInsets {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};

FrameInsets NominalFrameInsets(DWORD style, DWORD exStyle);
RECT ClientRectFromWindowRect(const RECT& outer, DWORD style, DWORD exStyle);
RECT WindowRectFromClientRect(const RECT& client, DWORD style, DWORD exStyle);
