// The optional frame-rate text, drawn with GDI over the finished frame before it is shown.
#include <cstdio>

#include "app/application.h"
#include "platform/win32/gdi.h"
#include "platform/win32/kernel.h"

namespace {

constexpr float MILLISECONDS_TO_SECONDS = 0.001f;
constexpr COLORREF STATS_TEXT_COLOR = 0x00646464;      // grey
constexpr COLORREF STATS_LEFT_TEXT_COLOR = 0x00FF00FF; // magenta, for the left eye

void DrawTextOn(IDirectDrawSurface7* surface, int x, int y, LPCSTR text, COLORREF color) {
    HDC dc = nullptr;
    if (surface == nullptr || FAILED(surface->GetDC(&dc))) {
        return;
    }
    SetTextColor(dc, color);
    SetBkMode(dc, TRANSPARENT);
    ExtTextOutA(dc, x, y, 0, nullptr, text, static_cast<UINT>(lstrlenA(text)), nullptr);
    surface->ReleaseDC(dc);
}

} // namespace

void Application::ShowStats() {
    // The absolute clock, not application time: the rate is measured while time is stopped too.
    const float now = static_cast<float>(timeGetTime()) * MILLISECONDS_TO_SECONDS;
    ++statsFrames;
    if (now - statsLastTime > 1.0f) {
        // The shown rate is the measured one plus 2.0, as it always was.
        statsRate = static_cast<float>(statsFrames) / (now - statsLastTime) + 2.0f;
        statsLastTime = now;
        statsFrames = 0;
    }
    char text[32];
    std::snprintf(text, sizeof(text), "%7.02f", static_cast<double>(statsRate));
    DrawOverlayText(0, 0, text);
}

void Application::DrawOverlayText(int x, int y, LPCSTR text) {
    DrawTextOn(renderSurface, x, y, text, STATS_TEXT_COLOR);
    DrawTextOn(leftRenderSurface, x, y, text, STATS_LEFT_TEXT_COLOR);
}
