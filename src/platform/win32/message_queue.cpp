// The message queue: posted messages, the quit request and paint requests, and the calls that
// deliver messages to window procedures.
//
// Order of retrieval, as on the platform: posted messages first (the host posts the native
// events, so input is among them), then WM_QUIT, then WM_PAINT for windows that need painting.
// Sent messages do not queue at all: SendMessageA calls the procedure before it returns.
#include <array>
#include <deque>

#include "platform/host/host.h"
#include "platform/win32/kernel.h"
#include "platform/win32/message_queue.h"
#include "platform/win32/window_records.h"

namespace {

// The platform's limit of posted messages per queue; PostMessageA fails beyond it.
constexpr size_t MAX_POSTED_MESSAGES = 10000;
// Nested SendMessageA calls beyond this depth fail instead of overflowing the stack.
constexpr int MAX_SEND_DEPTH = 256;
// Thread messages are retrieved by a filter of -1.
const HWND THREAD_MESSAGES_ONLY = reinterpret_cast<HWND>(-1);

struct MessageQueue {
    std::deque<MSG> posted;
    bool quitPosted = false;
    int quitCode = 0;
    std::array<bool, 256> keyDown{};
    int sendDepth = 0;
};

MessageQueue& Queue() {
    static MessageQueue queue;
    return queue;
}

bool IsSameOrDescendant(HWND window, HWND ancestor) {
    for (const WindowRecord* record = FindWindowRecord(window); record != nullptr;
         record = FindWindowRecord(record->parent)) {
        if (record->handle == ancestor) {
            return true;
        }
    }
    return false;
}

bool WindowMatches(HWND messageWindow, HWND filter) {
    if (filter == nullptr) {
        return true;
    }
    if (filter == THREAD_MESSAGES_ONLY) {
        return messageWindow == nullptr;
    }
    return messageWindow == filter || IsSameOrDescendant(messageWindow, filter);
}

bool MessageMatches(UINT message, UINT filterMin, UINT filterMax) {
    if (filterMin == 0 && filterMax == 0) {
        return true;
    }
    return message >= filterMin && message <= filterMax;
}

void TrackKeyState(const MSG& message) {
    bool down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    bool up = message.message == WM_KEYUP || message.message == WM_SYSKEYUP;
    if (down || up) {
        Queue().keyDown[message.wParam & 0xFF] = down;
    }
}

bool TakePosted(MSG* out, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    auto& posted = Queue().posted;
    for (auto it = posted.begin(); it != posted.end(); ++it) {
        if (WindowMatches(it->hwnd, window) && MessageMatches(it->message, filterMin, filterMax)) {
            *out = *it;
            if (remove) {
                posted.erase(it);
                TrackKeyState(*out);
            }
            return true;
        }
    }
    return false;
}

bool TakeQuit(MSG* out, UINT filterMin, UINT filterMax, bool remove) {
    MessageQueue& queue = Queue();
    if (!queue.quitPosted || !MessageMatches(WM_QUIT, filterMin, filterMax)) {
        return false;
    }
    *out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0, timeGetTime(), {}};
    if (remove) {
        queue.quitPosted = false;
    }
    return true;
}

bool TakePaint(MSG* out, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    if (!MessageMatches(WM_PAINT, filterMin, filterMax) || window == THREAD_MESSAGES_ONLY) {
        return false;
    }
    for (HWND candidate : AllWindows()) {
        WindowRecord* record = FindWindowRecord(candidate);
        if (record != nullptr && record->needsPaint && (record->style & WS_VISIBLE) != 0 &&
            WindowMatches(candidate, window)) {
            *out = MSG{candidate, WM_PAINT, 0, 0, timeGetTime(), {}};
            // The window counts as painted once its WM_PAINT is taken. (The platform waits for
            // the procedure to validate it; a procedure that never does would get WM_PAINT
            // forever and starve the program's idle work.)
            if (remove) {
                record->needsPaint = false;
            }
            return true;
        }
    }
    return false;
}

} // namespace

bool IsKeyDown(WORD virtualKey) {
    return Queue().keyDown[virtualKey & 0xFF];
}

BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (message == nullptr) {
        return FALSE;
    }
    host::Windows().PumpEvents();
    bool remove = (removeFlags & PM_REMOVE) != 0;
    if (TakePosted(message, window, filterMin, filterMax, remove) ||
        TakeQuit(message, filterMin, filterMax, remove) ||
        TakePaint(message, window, filterMin, filterMax, remove)) {
        return TRUE;
    }
    return FALSE;
}

BOOL GetMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax) {
    if (message == nullptr ||
        (window != nullptr && window != THREAD_MESSAGES_ONLY && !IsWindow(window))) {
        return -1; // the platform's error answer
    }
    while (!PeekMessageA(message, window, filterMin, filterMax, PM_REMOVE)) {
        host::Windows().WaitEvents();
    }
    return message->message == WM_QUIT ? FALSE : TRUE;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window != nullptr && !IsWindow(window)) {
        return FALSE;
    }
    MessageQueue& queue = Queue();
    if (queue.posted.size() >= MAX_POSTED_MESSAGES) {
        return FALSE;
    }
    queue.posted.push_back(MSG{window, message, wParam, lParam, timeGetTime(), {}});
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    MessageQueue& queue = Queue();
    queue.quitPosted = true;
    queue.quitCode = exitCode;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const WindowRecord* record = FindWindowRecord(window);
    if (record == nullptr || record->procedure == nullptr) {
        return 0;
    }
    MessageQueue& queue = Queue();
    if (queue.sendDepth >= MAX_SEND_DEPTH) {
        OutputDebugStringA("SendMessageA: messages nested too deeply; message dropped\n");
        return 0;
    }
    WNDPROC procedure = record->procedure; // the record may be gone when the call returns
    ++queue.sendDepth;
    LRESULT result = procedure(window, message, wParam, lParam);
    --queue.sendDepth;
    return result;
}

LRESULT DispatchMessageA(const MSG* message) {
    if (message == nullptr || message->hwnd == nullptr) {
        return 0; // thread messages have no procedure to go to
    }
    return SendMessageA(message->hwnd, message->message, message->wParam, message->lParam);
}

BOOL TranslateMessage(const MSG* message) {
    if (message == nullptr ||
        (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN)) {
        return FALSE;
    }
    // Characters for the keys that have one on every layout; the program reads none of them, but
    // dialogs and tools may.
    WORD key = static_cast<WORD>(message->wParam);
    bool shift = IsKeyDown(VK_SHIFT);
    int character = 0;
    if (key >= 'A' && key <= 'Z') {
        character = shift ? key : key - 'A' + 'a';
    } else if ((key >= '0' && key <= '9') || key == VK_SPACE || key == VK_RETURN ||
               key == VK_ESCAPE || key == VK_BACK || key == VK_TAB) {
        character = key;
    }
    if (character == 0) {
        return FALSE;
    }
    UINT charMessage = message->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    PostMessageA(message->hwnd, charMessage, static_cast<WPARAM>(character), message->lParam);
    return TRUE;
}
