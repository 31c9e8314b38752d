// Fake drivers for tests.
#include "support/fake_drivers.h"

#include "support/recording_device.h"

namespace test_drivers {

drivers::DeviceBuilder FakeDevice(const GUID& deviceGuid, std::string name) {
    return drivers::DeviceBuilder(deviceGuid, std::move(name))
        .Factory(d3d::RecordingDevice::Create);
}

drivers::DriverBuilder FakeDriver() {
    return drivers::DriverBuilder().Description("Fake Display Driver");
}

std::shared_ptr<host::Driver> TypicalFakeDriver() {
    return FakeDriver()
        .StandardModes()
        .Device(FakeDevice(IID_IDirect3DHALDevice, "Fake HAL Device")
                    .Description("Fake hardware rasterisation"))
        .Device(FakeDevice(IID_IDirect3DRGBDevice, "Fake RGB Device")
                    .Description("Fake software rasterisation")
                    .Hardware(false))
        .Build();
}

host::DriverSet TypicalFakeDrivers() {
    return {TypicalFakeDriver()};
}

} // namespace test_drivers
