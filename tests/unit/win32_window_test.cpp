// Windows as records and as native windows: creation messages, styles and rectangles across a
// full-screen switch and back, what reaches the window backend, and what the backend reports.
#include <gtest/gtest.h>

#include "platform/win32/native_window_events.h"
#include "platform/win32/windows.h"
#include "resources/program_resources.h"
#include "support/window_test_support.h"

using window_test::Log;
using window_test::RecordingWindowBackend;

namespace {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { window_test::ResetUserState(); }
    void TearDown() override { window_test::ResetUserState(); }

    RECT Client(HWND window) {
        RECT rect{};
        EXPECT_TRUE(GetClientRect(window, &rect));
        return rect;
    }
    RECT Outer(HWND window) {
        RECT rect{};
        EXPECT_TRUE(GetWindowRect(window, &rect));
        return rect;
    }
};

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(WindowTest, CreationSendsItsMessagesInThePlatformsOrder) {
    HWND seenInCreate = nullptr;
    DWORD styleInCreate = 0;
    Log().handler = [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_CREATE) {
            seenInCreate = hwnd;
            styleInCreate = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    };
    HWND window = window_test::CreateTestWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 300);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(seenInCreate, window);
    EXPECT_EQ(styleInCreate & WS_VISIBLE, 0u); // shown only once creation is done

    std::vector<UINT> kinds = Log().Kinds();
    std::vector<UINT> expected{WM_GETMINMAXINFO, WM_NCCREATE,   WM_CREATE,  WM_SIZE,
                               WM_MOVE,          WM_SHOWWINDOW, WM_ACTIVATE};
    EXPECT_EQ(kinds, expected);

    // WM_SIZE carried the client size that GetClientRect answers; WM_MOVE the client origin.
    RECT client = Client(window);
    const auto& size = Log().messages[3];
    EXPECT_EQ(size.wParam, SIZE_RESTORED);
    EXPECT_EQ(LOWORD(size.lParam), client.right);
    EXPECT_EQ(HIWORD(size.lParam), client.bottom);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const auto& move = Log().messages[4];
    EXPECT_EQ(GET_X_LPARAM(move.lParam), origin.x);
    EXPECT_EQ(GET_Y_LPARAM(move.lParam), origin.y);

    // The frame is inside the 300 x 300 window rectangle; the client area is what is left.
    RECT outer = Outer(window);
    EXPECT_EQ(outer.right - outer.left, 300);
    EXPECT_EQ(outer.bottom - outer.top, 300);
    EXPECT_LT(client.right, 300);
    EXPECT_LT(client.bottom, 300);
    EXPECT_GT(client.right, 250);
    EXPECT_EQ(GetForegroundWindow(), window);
}

TEST_F(WindowTest, CreationFailsCleanlyWhenRefusedOrMisnamed) {
    Log().handler = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        return message == WM_CREATE ? -1 : DefWindowProcA(hwnd, message, wParam, lParam);
    };
    EXPECT_EQ(window_test::CreateTestWindow(), nullptr);
    EXPECT_EQ(Log().Count(WM_DESTROY), 1);
    // A procedure that destroys its window while it is being created: no window, no crash.
    for (UINT killer : {WM_GETMINMAXINFO, WM_NCCREATE, WM_CREATE, WM_SIZE, WM_SHOWWINDOW}) {
        Log().handler = [killer](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (message == killer) {
                DestroyWindow(hwnd);
                return 0;
            }
            return DefWindowProcA(hwnd, message, wParam, lParam);
        };
        EXPECT_EQ(window_test::CreateTestWindow(), nullptr) << killer;
        EXPECT_EQ(GetForegroundWindow(), nullptr) << killer;
    }
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr,
                              nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(CreateWindowExA(0, "static", "", WS_CHILD, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr); // a child without a parent
    WNDCLASSA duplicate{};
    duplicate.lpfnWndProc = window_test::LoggingWindowProc;
    duplicate.lpszClassName = "testwindow"; // class names ignore case
    EXPECT_EQ(RegisterClassA(&duplicate), 0);
}

TEST_F(WindowTest, FullScreenStyleAndBackRestoresStyleAndRectangle) {
    RecordingWindowBackend backend;
    host::SetWindowBackend(&backend);
    HWND window = window_test::CreateTestWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 300);
    ASSERT_EQ(backend.live.size(), 1u);
    RecordingWindowBackend::Native* native = backend.live[0];
    RECT originalClient = Client(window);

    // Going full screen: save style and rectangle, switch to the popup style.
    LONG savedStyle = GetWindowLongA(window, GWL_STYLE);
    RECT savedRect = Outer(window);
    EXPECT_EQ(static_cast<DWORD>(savedStyle), WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    EXPECT_EQ(SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(0x90080000u)), savedStyle);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), 0x90080000u);
    EXPECT_EQ(native->style, 0x90080000u); // the real window lost its decoration
    // A popup has no frame: client and window rectangles are the same size.
    RECT popupClient = Client(window);
    RECT popupOuter = Outer(window);
    EXPECT_EQ(popupClient.right, popupOuter.right - popupOuter.left);
    EXPECT_EQ(popupClient.bottom, popupOuter.bottom - popupOuter.top);

    // The graphics side makes it cover the desktop; the window system reports the new place.
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 800, 600, SWP_SHOWWINDOW);
    EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & static_cast<LONG>(WS_EX_TOPMOST), 0);

    // Going back: style, then the saved rectangle, no longer topmost.
    SetWindowLongA(window, GWL_STYLE, savedStyle);
    Log().messages.clear();
    EXPECT_TRUE(SetWindowPos(window, HWND_NOTOPMOST, savedRect.left, savedRect.top,
                             savedRect.right - savedRect.left, savedRect.bottom - savedRect.top,
                             SWP_SHOWWINDOW));
    EXPECT_TRUE(SameRect(Outer(window), savedRect));
    EXPECT_TRUE(SameRect(Client(window), originalClient));
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & static_cast<LONG>(WS_EX_TOPMOST), 0);
    EXPECT_EQ(native->exStyle & WS_EX_TOPMOST, 0u);
    EXPECT_EQ(native->style, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    EXPECT_TRUE(SameRect(native->rect, savedRect));
    // The program heard of its new size synchronously.
    ASSERT_EQ(Log().Count(WM_SIZE), 1);
    window_test::ResetUserState();
}

TEST_F(WindowTest, LongValuesAndTheModuleHandle) {
    HWND window = window_test::CreateTestWindow();
    HMODULE module = GetModuleHandleA(nullptr);
    EXPECT_NE(module, nullptr);
    EXPECT_EQ(GetModuleHandleA("other.dll"), nullptr);
    // The instance survives the trip through a 32-bit LONG.
    LONG instance = GetWindowLongA(window, GWL_HINSTANCE);
    EXPECT_EQ(reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(instance)), module);
    EXPECT_EQ(SetWindowLongA(window, GWL_USERDATA, 1234), 0);
    EXPECT_EQ(GetWindowLongA(window, GWL_USERDATA), 1234);
    EXPECT_EQ(GetWindowLongA(window, GWL_WNDPROC), 0); // an address does not fit
    EXPECT_EQ(SetWindowLongA(window, 12345, 1), 0);
}

TEST_F(WindowTest, DefaultPositionsCascadeInsideTheDesktop) {
    HWND first = window_test::CreateTestWindow();
    HWND second = window_test::CreateTestWindow();
    RECT a = Outer(first), b = Outer(second);
    EXPECT_FALSE(a.left == b.left && a.top == b.top);
    for (const RECT& r : {a, b}) {
        EXPECT_GE(r.left, 0);
        EXPECT_GE(r.top, 0);
        EXPECT_LT(r.left, 1024);
        EXPECT_LT(r.top, 768);
    }
    HWND sized = CreateWindowExA(0, "TestWindow", "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                 CW_USEDEFAULT, 0, nullptr, nullptr, nullptr, nullptr);
    RECT s = Outer(sized);
    EXPECT_GT(s.right - s.left, 100);
    EXPECT_GT(s.bottom - s.top, 100);
}

TEST_F(WindowTest, MinimiseAndRestoreReportTheirKinds) {
    HWND window = window_test::CreateTestWindow();
    window_test::PumpAll();
    Log().messages.clear();
    ShowWindow(window, SW_MINIMIZE);
    RECT client = Client(window);
    EXPECT_EQ(client.right, 0); // a minimised window has no client area
    ShowWindow(window, SW_RESTORE);
    ASSERT_EQ(Log().Count(WM_SIZE), 2);
    std::vector<WPARAM> kinds;
    for (const auto& m : Log().messages) {
        if (m.message == WM_SIZE) {
            kinds.push_back(m.wParam);
        }
    }
    EXPECT_EQ(kinds, (std::vector<WPARAM>{SIZE_MINIMIZED, SIZE_RESTORED}));
    EXPECT_GT(Client(window).right, 0);
}

TEST_F(WindowTest, NativeReportsBecomeMessagesOnlyWhenSomethingChanged) {
    RecordingWindowBackend backend;
    host::SetWindowBackend(&backend);
    HWND window = window_test::CreateTestWindow();
    window_test::PumpAll();
    Log().messages.clear();

    RECT client = Client(window);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    // The window system echoing the program's own placement is no news.
    NativeWindowPlaced(window, origin, SIZE{client.right, client.bottom});
    EXPECT_TRUE(window_test::PumpAll().empty());

    NativeWindowPlaced(window, POINT{origin.x + 5, origin.y}, SIZE{client.right, client.bottom});
    NativeWindowPlaced(window, POINT{origin.x + 5, origin.y}, SIZE{400, 200});
    NativeWindowMinimized(window, true);
    NativeWindowMinimized(window, true);
    NativeWindowMinimized(window, false);
    NativeWindowCloseRequested(window);
    std::vector<MSG> taken = window_test::PumpAll();
    std::vector<UINT> kinds;
    for (const MSG& m : taken) {
        kinds.push_back(m.message);
    }
    EXPECT_EQ(kinds, (std::vector<UINT>{WM_MOVE, WM_SIZE, WM_SIZE, WM_SIZE, WM_CLOSE}));
    EXPECT_EQ(taken[0].lParam,
              MAKELPARAM(static_cast<WORD>(origin.x + 5), static_cast<WORD>(origin.y)));
    EXPECT_EQ(taken[1].lParam, MAKELPARAM(400, 200));
    EXPECT_EQ(taken[2].wParam, SIZE_MINIMIZED);
    EXPECT_EQ(taken[3].wParam, SIZE_RESTORED);
    EXPECT_FALSE(IsWindow(window)); // WM_CLOSE reached DefWindowProcA
    window_test::ResetUserState();
}

TEST_F(WindowTest, KeysFromTheWindowSystemCarryThePlatformsBits) {
    HWND window = window_test::CreateTestWindow();
    window_test::PumpAll();
    NativeKeyEvent(window, VK_ESCAPE, 1, true, false, false);
    NativeKeyEvent(window, VK_ESCAPE, 1, true, true, false);
    NativeKeyEvent(window, VK_ESCAPE, 1, false, false, false);
    NativeKeyEvent(window, 'X', 0x2D, true, false, true);
    std::vector<MSG> taken = window_test::PumpAll();
    ASSERT_EQ(taken.size(), 4u);
    EXPECT_EQ(taken[0].message, WM_KEYDOWN);
    EXPECT_EQ(taken[0].wParam, VK_ESCAPE);
    EXPECT_EQ(static_cast<DWORD>(taken[0].lParam), 0x00010001u);
    EXPECT_EQ(static_cast<DWORD>(taken[1].lParam) & (1u << 30), 1u << 30); // held before
    EXPECT_EQ(taken[2].message, WM_KEYUP);
    EXPECT_EQ(static_cast<DWORD>(taken[2].lParam) >> 30, 3u);
    EXPECT_EQ(taken[3].message, WM_SYSKEYDOWN);
}

TEST_F(WindowTest, BackendSeesIconCursorAndTheEndOfTheWindowAfterItsTeardown) {
    RegisterProgramResources();
    RecordingWindowBackend backend;
    host::SetWindowBackend(&backend);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = window_test::LoggingWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hIcon = LoadIconA(windowClass.hInstance, MAKEINTRESOURCEA(101));
    windowClass.lpszClassName = "IconWindow";
    ASSERT_NE(windowClass.hIcon, nullptr);
    RegisterClassA(&windowClass);
    HWND window =
        CreateWindowExA(0, "IconWindow", "title", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                        CW_USEDEFAULT, 300, 300, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_EQ(backend.live.size(), 1u);
    EXPECT_EQ(backend.live[0]->title, "title");
    EXPECT_EQ(backend.live[0]->request.style & WS_VISIBLE, 0u); // created hidden, then shown
    EXPECT_NE(backend.live[0]->style & WS_VISIBLE, 0u);
    EXPECT_EQ(backend.live[0]->iconWidth, 32);
    EXPECT_EQ(host::NativeWindowOf(window), backend.live[0]);

    backend.calls.clear();
    SetCursor(nullptr);
    SetCursor(nullptr);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(backend.calls, (std::vector<std::string>{"cursor hidden", "cursor shown"}));

    bool nativeDuringDestroy = false;
    Log().handler = [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_DESTROY) {
            nativeDuringDestroy = host::NativeWindowOf(hwnd) != nullptr;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    };
    DestroyWindow(window);
    EXPECT_TRUE(nativeDuringDestroy); // what draws into the window goes before the window
    EXPECT_TRUE(backend.live.empty());
    EXPECT_EQ(host::NativeWindowOf(window), nullptr);

    // A backend change takes the native windows of the old one away; the records stay.
    HWND kept = window_test::CreateTestWindow();
    ASSERT_EQ(backend.live.size(), 1u);
    host::SetWindowBackend(nullptr);
    EXPECT_TRUE(backend.live.empty());
    EXPECT_TRUE(IsWindow(kept));
    EXPECT_EQ(host::NativeWindowOf(kept), nullptr);
    window_test::ResetUserState();
}

TEST_F(WindowTest, AbsentMenusAndStockObjects) {
    EXPECT_EQ(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(141)), nullptr);
    EXPECT_EQ(GetSubMenu(LoadMenuA(nullptr, MAKEINTRESOURCEA(142)), 0), nullptr);
    EXPECT_FALSE(TrackPopupMenuEx(nullptr, TPM_VERTICAL, 0, 0, nullptr, nullptr));
    HGDIOBJ white = GetStockObject(WHITE_BRUSH);
    HGDIOBJ black = GetStockObject(BLACK_BRUSH);
    EXPECT_NE(white, nullptr);
    EXPECT_NE(white, black);
    EXPECT_EQ(GetStockObject(-1), nullptr);
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(102)), nullptr);
    EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
}

TEST_F(WindowTest, DefaultProcedureAnswers) {
    HWND window = window_test::CreateTestWindow();
    EXPECT_EQ(DefWindowProcA(window, WM_NCHITTEST, 0, 0), HTCLIENT);
    MINMAXINFO info{};
    info.ptMinTrackSize = {1, 2};
    EXPECT_EQ(DefWindowProcA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.ptMinTrackSize.x, 1); // left as the handler set it
    EXPECT_EQ(DefWindowProcA(window, WM_USER + 99, 0, 0), 0);
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_FALSE(EnableWindow(window, FALSE));
    EXPECT_FALSE(IsWindowEnabled(window));
    EXPECT_TRUE(EnableWindow(window, TRUE));
}

} // namespace
