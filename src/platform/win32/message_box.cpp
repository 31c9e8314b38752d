// MessageBoxA: the host decides who answers (a box on screen, or standard error at once).
#include "platform/host/host.h"
#include "platform/win32/user.h"

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    return host::MessageBoxes().Show(owner, text != nullptr ? text : "",
                                     caption != nullptr ? caption : "Error", type);
}
