// The process-wide driver set and the frame sink.
#include "platform/host/drivers.h"

#include <optional>
#include <utility>

namespace host {

namespace {

struct DriverRegistry {
    std::optional<DriverSet> installed; // empty: the real set, built on demand
    std::optional<DriverSet> real;
};

DriverRegistry& Registry() {
    static DriverRegistry registry;
    return registry;
}

FrameSink& Sink() {
    static FrameSink sink;
    return sink;
}

} // namespace

const DriverSet& Drivers() {
    DriverRegistry& registry = Registry();
    if (registry.installed) {
        return *registry.installed;
    }
    if (!registry.real) {
        registry.real = BuildRealDrivers();
    }
    return *registry.real;
}

void InstallDrivers(DriverSet drivers) {
    Registry().installed = std::move(drivers);
}

void InstallRealDrivers() {
    Registry().installed.reset();
    Registry().real.reset();
}

ScopedDrivers::ScopedDrivers(DriverSet drivers)
    : previousWasReal_(!Registry().installed.has_value()) {
    if (!previousWasReal_) {
        previous_ = *Registry().installed;
    }
    InstallDrivers(std::move(drivers));
}

ScopedDrivers::~ScopedDrivers() {
    if (previousWasReal_) {
        Registry().installed.reset();
    } else {
        InstallDrivers(std::move(previous_));
    }
}

void SetFrameSink(FrameSink sink) {
    Sink() = std::move(sink);
}

const FrameSink& GetFrameSink() {
    return Sink();
}

} // namespace host
