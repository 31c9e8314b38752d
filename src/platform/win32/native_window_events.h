// What window backends report to the USER layer (internal to the platform).
//
// A backend calls these while it pumps its native events. Each turns a change that came from the
// window system (the user or the window manager) into the messages the program expects, posted to
// its queue; reports that change nothing the program was already told are dropped.
#pragma once

#include "platform/win32/types.h"

// The client area's new origin (screen coordinates) and size. A window the program placed itself
// reports its own placement back; that is not news and posts nothing.
void NativeWindowPlaced(HWND window, POINT clientOrigin, SIZE clientSize);
void NativeWindowMinimized(HWND window, bool minimized);
void NativeWindowCloseRequested(HWND window);
void NativeWindowExposed(HWND window);
void NativeWindowFocused(HWND window, bool focused);
// A key went down or up. `virtualKey` is the platform's VK_ code; `scanCode` goes into bits
// 16-23 of the lParam. With Alt held, keys arrive as WM_SYSKEYDOWN / WM_SYSKEYUP.
void NativeKeyEvent(HWND window, WORD virtualKey, unsigned scanCode, bool down, bool repeat,
                    bool altHeld);
// The pointer moved over the window: WM_SETCURSOR, sent at once, as the platform does.
void NativePointerOver(HWND window);
