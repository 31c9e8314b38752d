// The platform's virtual-key codes of the browser's keys, by the key's place on the keyboard
// (KeyboardEvent.code), so that a key means the same whatever the keyboard layout.
#pragma once

#include "platform/win32/types.h"

namespace web {

// 0 for keys the program has no code for.
WORD VirtualKeyFromDomCode(const char* code);

} // namespace web
