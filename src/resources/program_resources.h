// The program's own resources: icon 101, accelerator table 113 and dialog template 144. The
// entry registers them before it runs, as the platform's loader would have mapped them.
#pragma once

#include "platform/win32/resources.h"

constexpr int IDI_PROGRAM_ICON = 101;
constexpr int IDR_PROGRAM_ACCELERATORS = 113;
constexpr int IDD_DEVICE_DIALOG = 144;

void RegisterProgramResources();

// Icon 101 drawn at `size` x `size` pixels; the window's icon is the 32 x 32 one. A size outside
// 1..PROGRAM_ICON_MAX_SIZE gives an empty icon.
constexpr int PROGRAM_ICON_SIZE = 32;
constexpr int PROGRAM_ICON_MAX_SIZE = 1024;
IconResource MakeProgramIcon(int size = PROGRAM_ICON_SIZE);
