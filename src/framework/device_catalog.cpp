// Filling the device catalog: the driver walk, each driver's display modes in sorted order, and
// the catalog's queries (GetDevices, SelectDefaultDevice, FreeDevices).
//
// The 3D devices of a driver are judged one by one in device_filter.cpp.
#include <cstdlib>
#include <new>

#include "framework/device_catalog.h"
#include "framework/trace_error.h"
#include "platform/win32/kernel.h"

DeviceCatalog deviceCatalog{};

namespace {

constexpr LPCSTR SOURCE_UNIT = "d3denum";

// More modes than any driver lists; a driver that reports more is not believed past this, so
// the staging array stays bounded.
constexpr DWORD MAX_STAGING_MODES = 4096;

} // namespace

int CompareModes(const void* a, const void* b) {
    const auto* first = static_cast<const DDSURFACEDESC2*>(a);
    const auto* second = static_cast<const DDSURFACEDESC2*>(b);
    const DWORD keys[][2] = {
        {first->dwWidth, second->dwWidth},
        {first->dwHeight, second->dwHeight},
        {first->ddpfPixelFormat.dwRGBBitCount, second->ddpfPixelFormat.dwRGBBitCount},
    };
    for (const auto& key : keys) {
        if (key[0] < key[1]) {
            return -1;
        }
        if (key[0] > key[1]) {
            return 1;
        }
    }
    return 0;
}

HRESULT ModeCallback(DDSURFACEDESC2* mode, LPVOID staging) {
    auto* info = static_cast<DeviceInfo*>(staging);
    if (mode == nullptr || info == nullptr || info->modeCount >= MAX_STAGING_MODES) {
        return DDENUMRET_OK;
    }
    // A new array one entry longer; when it cannot be had the mode is dropped and the old array
    // stays as it was.
    auto* grown = new (std::nothrow) DDSURFACEDESC2[info->modeCount + 1];
    if (grown == nullptr) {
        return DDENUMRET_OK;
    }
    for (DWORD i = 0; i < info->modeCount; ++i) {
        grown[i] = info->modes[i];
    }
    grown[info->modeCount] = *mode;
    delete[] info->modes;
    info->modes = grown;
    ++info->modeCount;
    return DDENUMRET_OK;
}

BOOL DriverCallback(GUID* driverGuid, LPSTR driverDescription, LPSTR, LPVOID, HMONITOR) {
    IDirectDraw7* directDraw = nullptr;
    if (FAILED(DirectDrawCreateEx(driverGuid, reinterpret_cast<LPVOID*>(&directDraw),
                                  IID_IDirectDraw7, nullptr))) {
        TraceError(SOURCE_UNIT, __LINE__, 0, "Can't create DDraw during enumeration!");
        return DDENUMRET_OK;
    }
    IDirect3D7* direct3D = nullptr;
    if (FAILED(directDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&direct3D)))) {
        directDraw->Release();
        TraceError(SOURCE_UNIT, __LINE__, 0, "Can't query IDirect3D7 during enumeration!");
        return DDENUMRET_OK;
    }

    DeviceInfo staging{};
    lstrcpynA(staging.name, driverDescription != nullptr ? driverDescription : "",
              DEVICE_NAME_COPY);
    staging.halCaps.dwSize = sizeof(DDCAPS);
    staging.helCaps.dwSize = sizeof(DDCAPS);
    directDraw->GetCaps(&staging.halCaps, &staging.helCaps);
    if (driverGuid != nullptr) {
        staging.driverGuidStorage = *driverGuid;
        staging.driverGuid = &staging.driverGuidStorage;
    }
    staging.canRenderWindowed =
        (staging.halCaps.dwCaps2 & DDCAPS2_CANRENDERWINDOWED) != 0 && driverGuid == nullptr;

    directDraw->EnumDisplayModes(0, nullptr, &staging, ModeCallback);
    if (staging.modeCount > 1) {
        std::qsort(staging.modes, staging.modeCount, sizeof(DDSURFACEDESC2), CompareModes);
    }
    direct3D->EnumDevices(DeviceCallback, &staging);

    delete[] staging.modes;
    direct3D->Release();
    directDraw->Release();
    return DDENUMRET_OK;
}

HRESULT EnumerateDevices(ConfirmDeviceFn confirm) {
    deviceCatalog.confirmDevice = confirm;
    DirectDrawEnumerateExA(DriverCallback, nullptr,
                           DDENUM_ATTACHEDSECONDARYDEVICES | DDENUM_DETACHEDSECONDARYDEVICES |
                               DDENUM_NONDISPLAYDEVICES);
    if (deviceCatalog.enumeratedCount == 0) {
        return TraceError(SOURCE_UNIT, __LINE__, CATALOG_E_EMPTY,
                          "No devices and/or modes were enumerated!");
    }
    if (deviceCatalog.deviceCount == 0) {
        TraceError(SOURCE_UNIT, __LINE__, 0, "No enumerated devices were accepted!");
        TraceError(SOURCE_UNIT, __LINE__, 0, "Try enabling the D3D Reference Rasterizer.");
        return CATALOG_E_NONE_ACCEPTED;
    }
    return S_OK;
}

void GetDevices(DeviceInfo** records, DWORD* count) {
    if (records != nullptr) {
        *records = deviceCatalog.records;
    }
    if (count != nullptr) {
        *count = deviceCatalog.deviceCount;
    }
}

HRESULT SelectDefaultDevice(DeviceInfo** device, DWORD flags) {
    if (device == nullptr) {
        return E_INVALIDARG;
    }
    DeviceInfo* transformAndLight = nullptr;
    DeviceInfo* hardware = nullptr;
    DeviceInfo* software = nullptr;
    for (DWORD i = 0; i < deviceCatalog.deviceCount; ++i) {
        DeviceInfo& record = deviceCatalog.records[i];
        if (record.hardware != 0) {
            if (IsEqualGUID(*record.deviceGuid, IID_IDirect3DTnLHalDevice)) {
                transformAndLight = &record;
            } else {
                hardware = &record;
            }
        } else if (!IsEqualGUID(*record.deviceGuid, IID_IDirect3DRefDevice)) {
            // The reference rasteriser is far too slow to be a default; the dialog offers it.
            software = &record;
        }
    }
    DeviceInfo* chosen = nullptr;
    if ((flags & DEFAULT_SKIP_HARDWARE) == 0) {
        chosen = transformAndLight != nullptr ? transformAndLight : hardware;
    }
    if (chosen == nullptr) {
        chosen = software;
    }
    if (chosen == nullptr) {
        return CATALOG_E_NO_DEFAULT;
    }
    chosen->windowed = FALSE; // the default is always full screen
    *device = chosen;
    return S_OK;
}

void FreeDevices() {
    for (DWORD i = 0; i < deviceCatalog.deviceCount; ++i) {
        delete[] deviceCatalog.records[i].modes;
        deviceCatalog.records[i].modes = nullptr;
    }
}

void ResetDeviceCatalog() {
    FreeDevices();
    deviceCatalog = DeviceCatalog{};
}
