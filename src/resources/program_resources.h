// The program's own resources: icon 101, accelerator table 113 and dialog template 144. The
// entry registers them before it runs, as the platform's loader would have mapped them.
#pragma once

constexpr int IDI_PROGRAM_ICON = 101;
constexpr int IDR_PROGRAM_ACCELERATORS = 113;
constexpr int IDD_DEVICE_DIALOG = 144;

void RegisterProgramResources();
