#include "platform/win32/window_frame.h"

#include "platform/win32/user.h"

namespace {
// Classic metrics: sizing frame, dialog frame, thin border, caption (small for tool windows).
constexpr LONG FRAME_SIZING = 4;
constexpr LONG FRAME_DIALOG = 3;
constexpr LONG FRAME_BORDER = 1;
constexpr LONG CAPTION_HEIGHT = 19;
constexpr LONG TOOL_CAPTION_HEIGHT = 15;
} // namespace

FrameInsets NominalFrameInsets(DWORD style, DWORD exStyle) {
    LONG edge = 0;
    if ((style & WS_THICKFRAME) != 0) {
        edge = FRAME_SIZING;
    } else if ((style & WS_DLGFRAME) != 0) {
        edge = FRAME_DIALOG;
    } else if ((style & WS_BORDER) != 0) {
        edge = FRAME_BORDER;
    }
    FrameInsets insets{edge, edge, edge, edge};
    if ((style & WS_CAPTION) == WS_CAPTION) {
        insets.top += (exStyle & WS_EX_TOOLWINDOW) != 0 ? TOOL_CAPTION_HEIGHT : CAPTION_HEIGHT;
    }
    return insets;
}

RECT ClientRectFromWindowRect(const RECT& outer, DWORD style, DWORD exStyle) {
    FrameInsets in = NominalFrameInsets(style, exStyle);
    RECT client{outer.left + in.left, outer.top + in.top, outer.right - in.right,
                outer.bottom - in.bottom};
    // A window smaller than its own frame has an empty client area, never a negative one.
    if (client.right < client.left) {
        client.right = client.left;
    }
    if (client.bottom < client.top) {
        client.bottom = client.top;
    }
    return client;
}

RECT WindowRectFromClientRect(const RECT& client, DWORD style, DWORD exStyle) {
    FrameInsets in = NominalFrameInsets(style, exStyle);
    return RECT{client.left - in.left, client.top - in.top, client.right + in.right,
                client.bottom + in.bottom};
}
