// The process-wide driver set and the frame sink.
#include "platform/host/drivers.h"

#include <utility>

namespace host {

namespace {

DriverSet& Installed() {
    static DriverSet installed;
    return installed;
}

FrameSink& Sink() {
    static FrameSink sink;
    return sink;
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

void SetFrameSink(FrameSink sink) {
    Sink() = std::move(sink);
}

const FrameSink& GetFrameSink() {
    return Sink();
}

} // namespace host
