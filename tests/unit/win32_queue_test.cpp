// The message queue without a display: re-entrant sends, posting while dispatching, the quit
// message, accelerators, closing a window, and blocking without spinning.
#include <gtest/gtest.h>

#include "platform/win32/windows.h"
#include "resources/program_resources.h"
#include "support/window_test_support.h"

using window_test::Log;

namespace {

constexpr UINT WM_TEST_A = WM_USER + 1;
constexpr UINT WM_TEST_B = WM_USER + 2;
constexpr UINT WM_TEST_C = WM_USER + 3;

class QueueTest : public ::testing::Test {
protected:
    void SetUp() override { window_test::ResetUserState(); }
    void TearDown() override { window_test::ResetUserState(); }
};

TEST_F(QueueTest, SendMessageIsSynchronousAndReentrant) {
    HWND window = window_test::CreateTestWindow();
    std::vector<int> entered;
    Log().handler = [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message != WM_TEST_A) {
            return DefWindowProcA(hwnd, message, wParam, lParam);
        }
        int depth = static_cast<int>(wParam);
        entered.push_back(depth);
        // Each level sends again from inside its own handling and adds to the answer.
        LRESULT inner = depth > 0 ? SendMessageA(hwnd, WM_TEST_A, depth - 1, 0) : 0;
        return inner + depth;
    };
    EXPECT_EQ(SendMessageA(window, WM_TEST_A, 4, 0), 4 + 3 + 2 + 1 + 0);
    EXPECT_EQ(entered, (std::vector<int>{4, 3, 2, 1, 0}));
}

TEST_F(QueueTest, RunawayRecursionIsCutOffInsteadOfOverflowingTheStack) {
    HWND window = window_test::CreateTestWindow();
    int calls = 0;
    Log().handler = [&](HWND hwnd, UINT message, WPARAM, LPARAM) -> LRESULT {
        if (message == WM_TEST_A) {
            ++calls;
            return 1 + SendMessageA(hwnd, WM_TEST_A, 0, 0);
        }
        return 0;
    };
    std::string trace;
    host::SetDebugOutputSink([&](const char* text) { trace += text; });
    LRESULT depth = SendMessageA(window, WM_TEST_A, 0, 0);
    EXPECT_GT(depth, 10);
    EXPECT_LT(calls, 10000);
    EXPECT_NE(trace.find("SendMessageA"), std::string::npos);
}

TEST_F(QueueTest, MessagesPostedDuringDispatchComeAfterThoseAlreadyWaiting) {
    HWND window = window_test::CreateTestWindow();
    window_test::PumpAll();
    Log().messages.clear();
    Log().handler = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_TEST_A) {
            PostMessageA(hwnd, WM_TEST_C, 0, 0);
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    };
    ASSERT_TRUE(PostMessageA(window, WM_TEST_A, 0, 0));
    ASSERT_TRUE(PostMessageA(window, WM_TEST_B, 0, 0));
    window_test::PumpAll();
    EXPECT_EQ(Log().Kinds(), (std::vector<UINT>{WM_TEST_A, WM_TEST_B, WM_TEST_C}));
}

TEST_F(QueueTest, QuitEndsTheLoopWithItsCodeAfterEveryPostedMessage) {
    HWND window = window_test::CreateTestWindow();
    window_test::PumpAll();
    PostMessageA(window, WM_TEST_A, 0, 0);
    PostQuitMessage(7);
    PostMessageA(window, WM_TEST_B, 0, 0); // posted later, still delivered before the quit

    std::vector<UINT> seen;
    MSG message{};
    BOOL result;
    while ((result = GetMessageA(&message, nullptr, 0, 0)) > 0) {
        seen.push_back(message.message);
        DispatchMessageA(&message);
    }
    EXPECT_EQ(result, FALSE);
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_EQ(seen, (std::vector<UINT>{WM_TEST_A, WM_TEST_B}));
    // The quit request is consumed: the queue is empty afterwards.
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(QueueTest, PeekFiltersAndCanLeaveTheMessageInPlace) {
    HWND first = window_test::CreateTestWindow();
    HWND second = window_test::CreateTestWindow();
    window_test::PumpAll();
    PostMessageA(first, WM_TEST_A, 1, 0);
    PostMessageA(second, WM_TEST_B, 2, 0);
    PostMessageA(nullptr, WM_TEST_C, 3, 0);

    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, second, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(message.message, WM_TEST_B);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_TEST_C, WM_TEST_C, PM_REMOVE));
    EXPECT_EQ(message.wParam, 3u);
    EXPECT_EQ(message.hwnd, nullptr);
    // A thread message is not dispatched anywhere.
    EXPECT_EQ(DispatchMessageA(&message), 0);

    std::vector<MSG> rest = window_test::PumpAll();
    ASSERT_EQ(rest.size(), 2u);
    EXPECT_EQ(rest[0].message, WM_TEST_A);
    EXPECT_EQ(rest[1].message, WM_TEST_B);
}

TEST_F(QueueTest, PaintComesAfterPostedMessagesAndOnlyOncePerInvalidation) {
    HWND window = window_test::CreateTestWindow();
    Log().messages.clear();
    EXPECT_TRUE(UpdateWindow(window)); // the newly shown window is painted at once
    EXPECT_TRUE(UpdateWindow(window)); // and then it is valid
    EXPECT_EQ(Log().Count(WM_PAINT), 1);

    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE);
    PostMessageA(window, WM_TEST_A, 0, 0);
    std::vector<MSG> taken = window_test::PumpAll();
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[0].message, WM_TEST_A);
    EXPECT_EQ(taken[1].message, WM_PAINT);
    // A procedure that never validates does not get WM_PAINT forever.
    EXPECT_TRUE(window_test::PumpAll().empty());
}

TEST_F(QueueTest, EscapeThroughAcceleratorTable113BecomesTheExitCommand) {
    RegisterProgramResources();
    HWND window = window_test::CreateTestWindow();
    HACCEL table = LoadAcceleratorsA(nullptr, MAKEINTRESOURCEA(113));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(LoadAcceleratorsA(nullptr, MAKEINTRESOURCEA(114)), nullptr);
    window_test::PumpAll();
    Log().messages.clear();

    auto deliver = [&](UINT message, WPARAM key) {
        PostMessageA(window, message, key, 0);
        MSG taken{};
        EXPECT_TRUE(PeekMessageA(&taken, nullptr, 0, 0, PM_REMOVE));
        return TranslateAcceleratorA(window, table, &taken);
    };
    EXPECT_NE(deliver(WM_KEYDOWN, VK_ESCAPE), 0);
    ASSERT_EQ(Log().Count(WM_COMMAND), 1);
    const window_test::LoggedMessage& command = Log().messages.back();
    EXPECT_EQ(command.window, window);
    EXPECT_EQ(LOWORD(command.wParam), 40006);
    EXPECT_EQ(HIWORD(command.wParam), 1); // from an accelerator

    EXPECT_EQ(deliver(WM_KEYUP, VK_ESCAPE), 0);
    EXPECT_EQ(deliver(WM_KEYDOWN, 'A'), 0);
    // With Shift held the entry (which asks for no Shift) does not match.
    EXPECT_EQ(deliver(WM_KEYDOWN, VK_SHIFT), 0);
    EXPECT_EQ(deliver(WM_KEYDOWN, VK_ESCAPE), 0);
    EXPECT_EQ(deliver(WM_KEYUP, VK_SHIFT), 0);
    EXPECT_NE(deliver(WM_KEYDOWN, VK_ESCAPE), 0);
    EXPECT_EQ(Log().Count(WM_COMMAND), 2);

    MSG escape{window, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_EQ(TranslateAcceleratorA(window, reinterpret_cast<HACCEL>(&escape), &escape), 0);
    EXPECT_EQ(TranslateAcceleratorA(window, nullptr, &escape), 0);
    EXPECT_EQ(TranslateAcceleratorA(window, table, nullptr), 0);
}

TEST_F(QueueTest, CloseDestroysTheWindowThroughTheDefaultProcedure) {
    HWND window = window_test::CreateTestWindow();
    Log().handler = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_DESTROY) {
            EXPECT_TRUE(IsWindow(hwnd)); // still valid while it is being destroyed
            PostQuitMessage(0);
            return 0;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    };
    window_test::PumpAll();
    Log().messages.clear();

    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(window));
    std::vector<UINT> kinds = Log().Kinds();
    auto at = [&](UINT m) { return std::find(kinds.begin(), kinds.end(), m) - kinds.begin(); };
    ASSERT_LT(at(WM_NCDESTROY), static_cast<long>(kinds.size()));
    EXPECT_LT(at(WM_CLOSE), at(WM_DESTROY));
    EXPECT_LT(at(WM_DESTROY), at(WM_NCDESTROY));
    EXPECT_EQ(Log().Count(WM_DESTROY), 1);

    MSG message{};
    EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), FALSE);
    EXPECT_EQ(message.message, WM_QUIT);
}

TEST_F(QueueTest, ADestroyedWindowRefusesEverythingSafely) {
    HWND window = window_test::CreateTestWindow();
    PostMessageA(window, WM_TEST_A, 0, 0); // still queued when the window goes
    ASSERT_TRUE(DestroyWindow(window));
    Log().messages.clear();

    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_EQ(SendMessageA(window, WM_TEST_A, 0, 0), 0);
    EXPECT_FALSE(PostMessageA(window, WM_TEST_A, 0, 0));
    RECT rect{1, 2, 3, 4};
    EXPECT_FALSE(GetWindowRect(window, &rect));
    EXPECT_FALSE(GetClientRect(window, &rect));
    EXPECT_EQ(rect.left, 1);
    EXPECT_EQ(SetWindowLongA(window, GWL_STYLE, 0), 0);
    EXPECT_FALSE(SetWindowPos(window, HWND_TOP, 0, 0, 1, 1, 0));
    EXPECT_FALSE(ShowWindow(window, SW_SHOW));
    EXPECT_EQ(SendMessageA(nullptr, WM_TEST_A, 0, 0), 0);
    MSG message{};
    EXPECT_EQ(GetMessageA(&message, window, 0, 0), -1);

    std::vector<MSG> taken = window_test::PumpAll();
    ASSERT_EQ(taken.size(), 1u); // the stale message comes out but reaches no procedure
    EXPECT_EQ(taken[0].message, WM_TEST_A);
    EXPECT_TRUE(Log().messages.empty());
}

TEST_F(QueueTest, GetMessageWaitsForTheHostInsteadOfSpinning) {
    window_test::RecordingWindowBackend backend;
    host::SetWindowBackend(&backend);
    HWND window = window_test::CreateTestWindow();
    window_test::PumpAll();
    backend.onWait = [&] {
        if (backend.waits == 3) {
            PostMessageA(window, WM_TEST_B, 5, 0);
        }
    };
    MSG message{};
    EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), TRUE);
    EXPECT_EQ(message.message, WM_TEST_B);
    EXPECT_EQ(backend.waits, 3); // one wait per empty look at the queue, no more
    window_test::ResetUserState();
}

TEST_F(QueueTest, ThePostedQueueIsBounded) {
    HWND window = window_test::CreateTestWindow();
    window_test::PumpAll();
    int accepted = 0;
    while (PostMessageA(window, WM_TEST_A, 0, 0) && accepted < 100000) {
        ++accepted;
    }
    EXPECT_EQ(accepted, 10000);
    EXPECT_EQ(window_test::PumpAll().size(), 10000u);
    EXPECT_TRUE(PostMessageA(window, WM_TEST_A, 0, 0));
}

} // namespace
