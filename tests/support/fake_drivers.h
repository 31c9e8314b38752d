// Drivers with chosen capabilities, devices, modes and formats, for tests: the platform's driver
// builder (platform/drivers/driver_builder.h) with devices that record by default.
//
//   host::ScopedDrivers drivers(test_drivers::TypicalFakeDrivers());   // the usual case
//
//   host::ScopedDrivers drivers({test_drivers::FakeDriver()
//                                    .Mode(640, 480, 16)
//                                    .DesktopMode(1024, 768, 8)
//                                    .Device(test_drivers::FakeDevice(IID_IDirect3DHALDevice,
//                                    "HAL")
//                                                .RenderDepths(DDBD_16)
//                                                .FailsWith(DDERR_OUTOFVIDEOMEMORY))
//                                    .Build()});
#pragma once

#include "platform/drivers/driver_builder.h"

namespace test_drivers {

// A hardware-rasterising device that makes the recording device (support/recording_device.h).
drivers::DeviceBuilder FakeDevice(const GUID& deviceGuid, std::string name);
// The primary display driver as "Fake Display Driver": standard capabilities, a 1024 x 768 x 32
// desktop, no modes, no devices.
drivers::DriverBuilder FakeDriver();

// The primary driver with the platform's modes, caps and formats and two recording devices: a
// hardware one (IID_IDirect3DHALDevice, "Fake HAL Device") and a software one
// (IID_IDirect3DRGBDevice, "Fake RGB Device").
std::shared_ptr<host::Driver> TypicalFakeDriver();
host::DriverSet TypicalFakeDrivers();

} // namespace test_drivers
