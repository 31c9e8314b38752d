// The start-up device dialog (dialog 144): the user picks another record of the device catalog,
// a display mode, and windowed or full screen.
#pragma once

#include "framework/device_catalog.h"

// Dialog controls the device dialog looks for (only the device list is in template 144).
constexpr int IDC_DEVICE_LIST = 1000;
constexpr int IDC_MODE_LIST = 1001;
constexpr int IDC_WINDOWED_CHECK = 1012;
constexpr int IDC_STEREO_CHECK = 1013;
constexpr int IDC_MODE_COMPANION = 1014;
constexpr int IDD_SELECT_DEVICE = 144;

// Runs dialog 144 for the caller's device pointer: 0 when the user confirmed a different choice
// (the pointer and the record are updated), E_FAIL for cancel, no change, or no dialog.
HRESULT SelectDeviceDialog(DeviceInfo** device);
INT_PTR DeviceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void UpdateDeviceDialog(HWND dialog, DeviceInfo* device, DWORD modeIndex, BOOL windowed,
                        BOOL stereo);
