// DirectDrawEnumerateExA and DirectDrawCreateEx over the host's driver set.
#include <cstdint>
#include <string>

#include "platform/ddraw/direct_draw.h"

HRESULT DirectDrawEnumerateExA(LPDDENUMCALLBACKEXA callback, LPVOID context, DWORD flags) {
    if (callback == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    const bool secondaries =
        (flags & (DDENUM_ATTACHEDSECONDARYDEVICES | DDENUM_DETACHEDSECONDARYDEVICES)) != 0;
    // A copy of the set: the callback may create DirectDraw objects or install other drivers.
    const host::DriverSet drivers = host::Drivers();
    for (const auto& driver : drivers) {
        if (driver->hasGuid && !secondaries) {
            continue;
        }
        // The callback gets writable strings; hand it copies.
        std::string description = driver->description;
        std::string name = driver->name;
        GUID guid = driver->guid;
        const BOOL more = callback(driver->hasGuid ? &guid : nullptr, description.data(),
                                   name.data(), context, nullptr);
        if (more == DDENUMRET_CANCEL) {
            break;
        }
    }
    return DD_OK;
}

HRESULT DirectDrawCreateEx(GUID* driverGuid, LPVOID* directDraw, REFIID iid, IUnknown* outer) {
    if (directDraw == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *directDraw = nullptr;
    if (!(iid == IID_IDirectDraw7) || outer != nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    // Small values in place of a GUID pointer select the primary driver's hardware or emulation,
    // which on this platform are one and the same.
    const bool primary = reinterpret_cast<uintptr_t>(driverGuid) < 0x10;
    for (const auto& driver : host::Drivers()) {
        const bool wanted =
            primary ? !driver->hasGuid : driver->hasGuid && driver->guid == *driverGuid;
        if (!wanted) {
            continue;
        }
        if (HRESULT failure = driver->failures.createDirectDraw; failure != DD_OK) {
            return failure;
        }
        *directDraw = static_cast<IDirectDraw7*>(new ddraw::DirectDraw(driver));
        return DD_OK;
    }
    return DDERR_INVALIDPARAMS;
}
