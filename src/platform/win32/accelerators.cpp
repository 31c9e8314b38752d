// Accelerator tables: LoadAcceleratorsA and TranslateAcceleratorA.
#include "platform/win32/message_queue.h"
#include "platform/win32/resource_handles.h"
#include "platform/win32/window_records.h"

namespace {

bool ModifiersMatch(BYTE flags) {
    return ((flags & FSHIFT) != 0) == IsKeyDown(VK_SHIFT) &&
           ((flags & FCONTROL) != 0) == IsKeyDown(VK_CONTROL) &&
           ((flags & FALT) != 0) == IsKeyDown(VK_MENU);
}

bool EntryMatches(const ACCEL& entry, const MSG& message) {
    if ((entry.fVirt & FVIRTKEY) != 0) {
        return (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) &&
               message.wParam == entry.key && ModifiersMatch(entry.fVirt);
    }
    // A character entry matches the character, whatever the modifiers.
    return (message.message == WM_CHAR || message.message == WM_SYSCHAR) &&
           message.wParam == entry.key;
}

} // namespace

HACCEL LoadAcceleratorsA(HINSTANCE /*instance*/, LPCSTR name) {
    // The program has one module; a null instance names it too.
    const std::vector<ACCEL>* table = FindAcceleratorResource(name);
    return table != nullptr ? reinterpret_cast<HACCEL>(const_cast<std::vector<ACCEL>*>(table))
                            : nullptr;
}

int TranslateAcceleratorA(HWND window, HACCEL table, MSG* message) {
    const std::vector<ACCEL>* entries = AcceleratorsFromHandle(table);
    if (entries == nullptr || message == nullptr || !IsWindow(window)) {
        return 0;
    }
    for (const ACCEL& entry : *entries) {
        if (EntryMatches(entry, *message)) {
            // Copied out first: the command may destroy the window and anything else.
            WORD command = entry.cmd;
            // High word 1: the command comes from an accelerator.
            SendMessageA(window, WM_COMMAND, MAKEWPARAM(command, 1), 0);
            return 1;
        }
    }
    return 0;
}
