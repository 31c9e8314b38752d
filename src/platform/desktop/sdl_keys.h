// SDL keys to the platform's virtual-key codes.
#pragma once

#include <SDL.h>

#include "platform/win32/types.h"

namespace desktop {

// 0 for keys the platform layer does not pass on.
WORD VirtualKeyFromSdl(SDL_Keycode key);

} // namespace desktop
