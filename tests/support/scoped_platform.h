// Installs a process-wide service for the life of a scope and puts the
// previous one back.
#pragma once

#include "platform/platform.h"
#include "platform/spooler.h"
#include "platform/usb_bus.h"

namespace talq::test {

template <typename Service, Service* (*InstallService)(Service*)>
class ScopedInstall {
public:
    explicit ScopedInstall(Service& service) : previous_(InstallService(&service)) {}
    ~ScopedInstall() { InstallService(previous_); }

    ScopedInstall(const ScopedInstall&) = delete;
    ScopedInstall& operator=(const ScopedInstall&) = delete;

private:
    Service* previous_;
};

using ScopedPlatform = ScopedInstall<platform::Platform, &platform::Install>;
using ScopedUsbBus = ScopedInstall<platform::UsbBus, &platform::InstallUsbBus>;
using ScopedSpooler = ScopedInstall<platform::Spooler, &platform::InstallSpooler>;

}  // namespace talq::test
