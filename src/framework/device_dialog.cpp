// The start-up device dialog: the credits and the list of accepted 3D devices.
//
// The procedure is written for a fuller template with a mode list and windowed and stereo check
// boxes; template 144 has only the device list, and messages to the missing controls go nowhere.
#include "framework/device_dialog.h"

#include "platform/win32/kernel.h"
#include "platform/win32/user.h"

namespace {

// The one open dialog's state: where to write the choice, and the choice it opened with.
DeviceInfo** dialogDevicePointer = nullptr;
DeviceInfo* openingDevice = nullptr;
DWORD openingModeIndex = 0;
BOOL openingWindowed = FALSE;
BOOL openingStereo = FALSE;

// The record a list index names, or null for "no selection" (CB_ERR) and stale indices: an
// editable drop-down can report no selection, and that must not pick a record.
DeviceInfo* RecordAt(LRESULT index) {
    DeviceInfo* records = nullptr;
    DWORD count = 0;
    GetDevices(&records, &count);
    if (index < 0 || static_cast<DWORD>(index) >= count) {
        return nullptr;
    }
    return &records[index];
}

struct DialogChoice {
    DeviceInfo* device;
    DWORD modeIndex;
    BOOL windowed;
    BOOL stereo;
};

DialogChoice ReadControls(HWND dialog) {
    DialogChoice choice{};
    choice.device = RecordAt(SendMessageA(GetDlgItem(dialog, IDC_DEVICE_LIST), CB_GETCURSEL, 0, 0));
    HWND modeList = GetDlgItem(dialog, IDC_MODE_LIST);
    LRESULT selected = SendMessageA(modeList, CB_GETCURSEL, 0, 0);
    LRESULT data = SendMessageA(modeList, CB_GETITEMDATA, static_cast<WPARAM>(selected), 0);
    // Without a mode list both messages answer 0: the first mode. A list without a selection
    // keeps the device's own mode rather than picking one.
    if (modeList != nullptr && (selected == CB_ERR || data < 0)) {
        choice.modeIndex = choice.device != nullptr ? choice.device->currentModeIndex : 0;
    } else {
        choice.modeIndex = static_cast<DWORD>(data);
    }
    HWND windowedCheck = GetDlgItem(dialog, IDC_WINDOWED_CHECK);
    choice.windowed =
        windowedCheck != nullptr && SendMessageA(windowedCheck, BM_GETCHECK, 0, 0) == BST_CHECKED;
    HWND stereoCheck = GetDlgItem(dialog, IDC_STEREO_CHECK);
    choice.stereo =
        stereoCheck != nullptr && SendMessageA(stereoCheck, BM_GETCHECK, 0, 0) == BST_CHECKED;
    return choice;
}

INT_PTR Confirm(HWND dialog, DialogChoice choice) {
    // With no device selected the user confirmed what was already there.
    if (choice.device == nullptr || choice.modeIndex >= choice.device->modeCount) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    const bool changed = choice.device != openingDevice || choice.modeIndex != openingModeIndex ||
                         choice.windowed != openingWindowed || choice.stereo != openingStereo;
    if (!changed) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    *dialogDevicePointer = choice.device;
    choice.device->windowed = choice.windowed;
    choice.device->stereo = choice.stereo;
    choice.device->currentModeIndex = choice.modeIndex;
    choice.device->currentMode = choice.device->modes[choice.modeIndex];
    EndDialog(dialog, IDOK);
    return TRUE;
}

} // namespace

void UpdateDeviceDialog(HWND dialog, DeviceInfo* device, DWORD modeIndex, BOOL windowed,
                        BOOL stereo) {
    HWND deviceList = GetDlgItem(dialog, IDC_DEVICE_LIST);
    HWND modeList = GetDlgItem(dialog, IDC_MODE_LIST);
    HWND windowedCheck = GetDlgItem(dialog, IDC_WINDOWED_CHECK);
    HWND stereoCheck = GetDlgItem(dialog, IDC_STEREO_CHECK);
    HWND modeCompanion = GetDlgItem(dialog, IDC_MODE_COMPANION);

    SendMessageA(deviceList, CB_RESETCONTENT, 0, 0);
    SendMessageA(modeList, CB_RESETCONTENT, 0, 0);
    if (device != nullptr && !device->canRenderWindowed) {
        windowed = FALSE;
    }

    DeviceInfo* records = nullptr;
    DWORD count = 0;
    GetDevices(&records, &count);
    for (DWORD i = 0; i < count; ++i) {
        DeviceInfo& record = records[i];
        LRESULT item =
            SendMessageA(deviceList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(record.name));
        if (&record != device) {
            continue;
        }
        SendMessageA(deviceList, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        if (windowedCheck != nullptr) {
            EnableWindow(windowedCheck, record.canRenderWindowed);
            SendMessageA(windowedCheck, BM_SETCHECK, windowed ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        if (stereoCheck != nullptr) {
            EnableWindow(stereoCheck, record.stereoCapable && !windowed);
            SendMessageA(stereoCheck, BM_SETCHECK, stereo ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        if (modeList != nullptr) {
            EnableWindow(modeList, !windowed);
        }
        if (modeCompanion != nullptr) {
            EnableWindow(modeCompanion, !windowed);
        }
        bool anySelected = false;
        for (DWORD j = 0; j < record.modeCount; ++j) {
            const DDSURFACEDESC2& mode = record.modes[j];
            if (stereo && (mode.ddsCaps.dwCaps2 & DDSCAPS2_STEREOSURFACELEFT) == 0) {
                continue;
            }
            char text[64];
            wsprintfA(text, "%ld x %ld x %ld", static_cast<LONG>(mode.dwWidth),
                      static_cast<LONG>(mode.dwHeight),
                      static_cast<LONG>(mode.ddpfPixelFormat.dwRGBBitCount));
            LRESULT modeItem =
                SendMessageA(modeList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
            SendMessageA(modeList, CB_SETITEMDATA, static_cast<WPARAM>(modeItem),
                         static_cast<LPARAM>(j));
            if (j == modeIndex || (stereo && !anySelected)) {
                SendMessageA(modeList, CB_SETCURSEL, static_cast<WPARAM>(modeItem), 0);
                anySelected = true;
            }
        }
    }
}

INT_PTR DeviceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        dialogDevicePointer = reinterpret_cast<DeviceInfo**>(lParam);
        if (dialogDevicePointer == nullptr || *dialogDevicePointer == nullptr) {
            return FALSE;
        }
        openingDevice = *dialogDevicePointer;
        openingModeIndex = openingDevice->currentModeIndex;
        openingWindowed = openingDevice->windowed;
        openingStereo = openingDevice->stereo;
        UpdateDeviceDialog(dialog, openingDevice, openingModeIndex, openingWindowed, openingStereo);
        return TRUE;
    }
    if (message != WM_COMMAND) {
        return FALSE;
    }

    DialogChoice choice = ReadControls(dialog);
    switch (LOWORD(wParam)) {
    case IDOK:
        if (dialogDevicePointer == nullptr) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return Confirm(dialog, choice);
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        if (choice.device == nullptr) {
            return TRUE; // nothing selected in the device list: nothing to show
        }
        if (HIWORD(wParam) == CBN_SELENDOK && LOWORD(wParam) == IDC_DEVICE_LIST) {
            // A newly picked device brings its own settings.
            choice.modeIndex = choice.device->currentModeIndex;
            choice.windowed = choice.device->windowed;
            choice.stereo = choice.device->stereo;
        }
        UpdateDeviceDialog(dialog, choice.device, choice.modeIndex, choice.windowed, choice.stereo);
        return TRUE;
    }
}

HRESULT SelectDeviceDialog(DeviceInfo** device) {
    INT_PTR result =
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SELECT_DEVICE),
                        GetForegroundWindow(), DeviceDialogProc, reinterpret_cast<LPARAM>(device));
    dialogDevicePointer = nullptr;
    openingDevice = nullptr;
    return result == IDOK ? S_OK : E_FAIL;
}
