// The Windows subset the program is written against, in one include.
#pragma once

#include "platform/win32/gdi.h"
#include "platform/win32/kernel.h"
#include "platform/win32/registry.h"
#include "platform/win32/types.h"
#include "platform/win32/user.h"
