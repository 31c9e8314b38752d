// Judging one 3D device of a driver: which display modes it can use, which mode it starts in,
// and whether the catalog takes it at all.
#include <new>

#include "framework/device_catalog.h"
#include "platform/win32/kernel.h"

namespace {

// The colour depths a device can render, as DDBD_ bits; 8 bits and fewer are never used.
bool RendersDepth(DWORD bits, DWORD renderDepths) {
    return (bits == 32 && (renderDepths & DDBD_32) != 0) ||
           (bits == 24 && (renderDepths & DDBD_24) != 0) ||
           (bits == 16 && (renderDepths & DDBD_16) != 0);
}

// The sizes the show is offered in (all 4:3); 1280 x 1024 is not among them.
bool OfferedSize(DWORD width, DWORD height) {
    return (width == 640 && height == 480) || (width == 800 && height == 600) ||
           (width == 1024 && height == 768) || (width == 1600 && height == 1200);
}

// A rejected device leaves its slot for the next one; its mode array goes with it.
HRESULT Reject(DeviceInfo& record) {
    delete[] record.modes;
    record.modes = nullptr;
    record.modeCount = 0;
    return D3DENUMRET_OK;
}

} // namespace

HRESULT DeviceCallback(LPSTR, LPSTR deviceName, D3DDEVICEDESC7* desc, LPVOID context) {
    const auto* staging = static_cast<const DeviceInfo*>(context);
    if (desc == nullptr || staging == nullptr) {
        return D3DENUMRET_OK;
    }
    ++deviceCatalog.enumeratedCount;
    // The catalog has a fixed number of records; devices beyond them are counted, not kept.
    if (deviceCatalog.deviceCount >= DEVICE_CATALOG_SIZE) {
        return D3DENUMRET_OK;
    }

    DeviceInfo& record = deviceCatalog.records[deviceCatalog.deviceCount];
    record = DeviceInfo{};
    record.hardware = desc->dwDevCaps & D3DDEVCAPS_HWRASTERIZATION;
    record.deviceDesc = *desc;
    record.canRenderWindowed = staging->canRenderWindowed;
    record.halCaps = staging->halCaps;
    record.helCaps = staging->helCaps;
    record.deviceGuidStorage = desc->deviceGUID;
    record.deviceGuid = &record.deviceGuidStorage;

    record.modes =
        new (std::nothrow) DDSURFACEDESC2[staging->modeCount > 0 ? staging->modeCount : 1];
    if (record.modes == nullptr) {
        return Reject(record);
    }

    if (staging->driverGuid != nullptr) {
        record.driverGuidStorage = *staging->driverGuid;
        record.driverGuid = &record.driverGuidStorage;
        lstrcpynA(record.name, staging->name, DEVICE_NAME_COPY);
    } else {
        lstrcpynA(record.name, deviceName != nullptr ? deviceName : "", DEVICE_NAME_COPY);
    }

    // Secondary drivers (add-on 3D cards) are worth listing only for their hardware.
    if (record.driverGuid != nullptr && record.hardware == 0) {
        return Reject(record);
    }
    if (deviceCatalog.confirmDevice != nullptr &&
        FAILED(deviceCatalog.confirmDevice(&record.halCaps, &record.deviceDesc))) {
        return Reject(record);
    }

    for (DWORD i = 0; i < staging->modeCount; ++i) {
        const DDSURFACEDESC2& mode = staging->modes[i];
        if (!RendersDepth(mode.ddpfPixelFormat.dwRGBBitCount, desc->dwDeviceRenderBitDepth)) {
            continue;
        }
        if (OfferedSize(mode.dwWidth, mode.dwHeight)) {
            record.modes[record.modeCount++] = mode;
        }
        if ((mode.ddsCaps.dwCaps2 & DDSCAPS2_STEREOSURFACELEFT) != 0) {
            record.stereoCapable = TRUE;
        }
    }
    if (record.modeCount == 0) {
        return Reject(record);
    }

    for (DWORD i = 0; i < record.modeCount; ++i) {
        const DDSURFACEDESC2& mode = record.modes[i];
        if (mode.dwWidth == 640 && mode.dwHeight == 480 &&
            mode.ddpfPixelFormat.dwRGBBitCount == 16) {
            record.currentMode = mode;
            record.currentModeIndex = i;
        }
    }
    record.windowed = record.canRenderWindowed;
    ++deviceCatalog.deviceCount;
    return D3DENUMRET_OK;
}
