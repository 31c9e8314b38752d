// Stock GDI objects (GetStockObject): fixed handles that nobody owns and nobody deletes.
#pragma once

#include "platform/win32/types.h"

bool IsStockObject(HGDIOBJ object);
