// The device catalog: every display driver, every 3D device of each driver and the display modes
// each device can render in, enumerated once at start into DeviceInfo records, with the default
// choice. The start-up dialog that lets the user pick another record is device_dialog.h; the
// framework's source unit for both is "d3denum" (its trace lines say so).
//
// The catalog only describes devices: it holds no DirectDraw or Direct3D object after
// enumeration. It is process-wide and not locked (one GUI thread).
#pragma once

#include "platform/d3d/d3d.h"
#include "platform/win32/types.h"

constexpr int DEVICE_NAME_SIZE = 40; // the name field; at most 38 characters are copied
constexpr int DEVICE_NAME_COPY = 39; // lstrcpynA length: 38 characters and the terminator
constexpr DWORD DEVICE_CATALOG_SIZE = 20;

// SelectDefaultDevice flags
constexpr DWORD DEFAULT_SKIP_HARDWARE = 1;

// Result codes of the catalog.
constexpr HRESULT CATALOG_E_EMPTY = MakeHResult(0x81000002u);
constexpr HRESULT CATALOG_E_NONE_ACCEPTED = MakeHResult(0x81000003u);
constexpr HRESULT CATALOG_E_NO_DEFAULT = MakeHResult(0x81000004u);

// One accepted 3D device of one driver, with its usable modes and the user's current choice.
struct DeviceInfo {
    char name[DEVICE_NAME_SIZE];
    GUID* deviceGuid; // points at deviceGuidStorage
    D3DDEVICEDESC7 deviceDesc;
    DWORD hardware;   // the D3DDEVCAPS_HWRASTERIZATION bit of deviceDesc.dwDevCaps
    GUID* driverGuid; // points at driverGuidStorage; null for the primary display driver
    DDCAPS halCaps;
    DDCAPS helCaps;
    DDSURFACEDESC2 currentMode;
    BOOL windowed;
    BOOL stereo;
    GUID deviceGuidStorage;
    GUID driverGuidStorage;
    DDSURFACEDESC2* modes; // owned, sorted by CompareModes
    DWORD modeCount;
    DWORD currentModeIndex;
    BOOL canRenderWindowed;
    BOOL stereoCapable;
};

// A filter the application may give: a negative result rejects the device.
using ConfirmDeviceFn = HRESULT (*)(DDCAPS* halCaps, D3DDEVICEDESC7* deviceDesc);

struct DeviceCatalog {
    // Further devices past the last record are counted in enumeratedCount and otherwise ignored.
    DeviceInfo records[DEVICE_CATALOG_SIZE];
    DWORD deviceCount;
    DWORD enumeratedCount;
    ConfirmDeviceFn confirmDevice;
};
extern DeviceCatalog deviceCatalog;

// Fills the catalog; called once at start. The counts are not reset by a second call.
HRESULT EnumerateDevices(ConfirmDeviceFn confirm);
// Either output may be null.
void GetDevices(DeviceInfo** records, DWORD* count);
// Points `device` at the default record (full screen): transform-and-lighting hardware, else
// other hardware, else a software device other than the reference rasteriser.
HRESULT SelectDefaultDevice(DeviceInfo** device, DWORD flags);
// Frees every record's mode array; the counts stay.
void FreeDevices();
// Frees and zeroes the whole catalog, as at process start; for a run that starts over (tests).
void ResetDeviceCatalog();

// Enumeration callbacks and the mode order, used inside EnumerateDevices.
BOOL DriverCallback(GUID* driverGuid, LPSTR driverDescription, LPSTR driverName, LPVOID context,
                    HMONITOR monitor);
HRESULT ModeCallback(DDSURFACEDESC2* mode, LPVOID staging);
HRESULT DeviceCallback(LPSTR deviceDescription, LPSTR deviceName, D3DDEVICEDESC7* desc,
                       LPVOID staging);
int CompareModes(const void* a, const void* b);
