// The message queue (internal): what the accelerator code needs to know about keys.
#pragma once

#include "platform/win32/types.h"

// Whether a virtual key is down, as of the key messages retrieved so far (the platform's key
// state moves with the queue, not with the hardware).
bool IsKeyDown(WORD virtualKey);
