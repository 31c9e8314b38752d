// The process-wide driver set.
#include "platform/host/drivers.h"

#include <utility>

namespace host {

namespace {

DriverSet& Installed() {
    static DriverSet installed;
    return installed;
}

} // namespace

const DriverSet& Drivers() {
    return Installed();
}

void InstallDrivers(DriverSet drivers) {
    Installed() = std::move(drivers);
}

ScopedDrivers::ScopedDrivers(DriverSet drivers) : previous_(std::move(Installed())) {
    Installed() = std::move(drivers);
}

ScopedDrivers::~ScopedDrivers() {
    Installed() = std::move(previous_);
}

} // namespace host
