// The graphics seams of the host: which display drivers and 3D devices exist for a run, and how
// their failures can be provoked. Where presented frames go is host/presentation.h.
//
// A driver is plain data (GUID, names, capabilities, display modes, desktop mode, 3D devices) that
// DirectDraw and Direct3D answer from. Each 3D device carries a factory that makes the
// IDirect3DDevice7 for a render-target surface: the GL devices in the real set, the recording or
// null device in tests. The set is process-wide and starts empty: the program's entry installs
// the real set (platform/drivers/), the capture tool its own, tests their fakes; all of them are
// made with platform/drivers/driver_builder.h. Nothing here opens a window or a GL context.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/d3d/d3d.h"

namespace host {

struct DeviceDescription;

// What a device factory gets: the Direct3D object the device belongs to (the device keeps a
// reference to it), the render-target surface (the device keeps a reference to it) and the
// device's own description (capabilities, texture formats).
struct DeviceCreation {
    IDirect3D7* direct3D = nullptr;
    IDirectDrawSurface7* renderTarget = nullptr;
    std::shared_ptr<const DeviceDescription> description;
};

// Makes a device with one reference for the caller, or answers the failure.
using DeviceFactory = std::function<HRESULT(const DeviceCreation&, IDirect3DDevice7** device)>;

struct DeviceDescription {
    std::string name;        // the name EnumDevices reports
    std::string description; // the description text EnumDevices reports
    D3DDEVICEDESC7 desc{};   // capabilities; desc.deviceGUID identifies the device
    std::vector<DDPIXELFORMAT> textureFormats; // in the order EnumTextureFormats lists them
    std::vector<DDPIXELFORMAT> zBufferFormats; // in the order EnumZBufferFormats lists them
    DeviceFactory factory;                     // null: CreateDevice fails with DDERR_UNSUPPORTED
};

// Results a driver can be told to give, for tests of the program's failure paths. DD_OK means
// "behave normally". They are read at each call, so a test may change them at any time.
struct DriverFailures {
    HRESULT createDirectDraw = DD_OK;     // DirectDrawCreateEx
    HRESULT queryDirect3D = DD_OK;        // QueryInterface for IID_IDirect3D7
    HRESULT setCooperativeLevel = DD_OK;  // SetCooperativeLevel
    HRESULT setDisplayMode = DD_OK;       // SetDisplayMode
    HRESULT createSurface = DD_OK;        // CreateSurface, for the surfaces selected below
    DWORD createSurfaceCaps = 0;          // fail only descriptions with one of these caps; 0: all
    HRESULT testCooperativeLevel = DD_OK; // TestCooperativeLevel
    HRESULT present = DD_OK;              // Flip, and Blt to the primary surface
};

// Makes the Direct3D object of a DirectDraw object (QueryInterface for IID_IDirect3D7) with one
// reference for the caller; it holds the DirectDraw object.
using Direct3DFactory = IDirect3D7* (*)(IDirectDraw7* directDraw);

struct Driver {
    bool hasGuid = false; // the primary display driver has none (DirectDraw reports a null GUID)
    GUID guid{};
    std::string description;
    std::string name;
    DDCAPS halCaps{}; // dwSize is filled in by the caller's record
    DDCAPS helCaps{};
    std::vector<DDSURFACEDESC2> modes; // in the order EnumDisplayModes lists them
    DDSURFACEDESC2 desktopMode{};      // what GetDisplayMode answers outside exclusive mode
    std::vector<std::shared_ptr<DeviceDescription>> devices;
    Direct3DFactory direct3D = nullptr; // null: a driver without 3D (no IDirect3D7)
    DriverFailures failures;
};

using DriverSet = std::vector<std::shared_ptr<Driver>>;

// The drivers of this run: the installed set, or none.
const DriverSet& Drivers();
// Replaces the set. Objects already made keep the driver they were made from.
void InstallDrivers(DriverSet drivers);

// Installs a set for the lifetime of the object and puts the previous one back afterwards.
class ScopedDrivers {
public:
    explicit ScopedDrivers(DriverSet drivers);
    ~ScopedDrivers();
    ScopedDrivers(const ScopedDrivers&) = delete;
    ScopedDrivers& operator=(const ScopedDrivers&) = delete;

private:
    DriverSet previous_;
};

// Makes every surface of every DirectDraw object lost, as a mode change by another program
// would; IsLost, Flip, Blt and Lock then answer DDERR_SURFACELOST until the surfaces are restored.
void LoseAllSurfaces();

} // namespace host
