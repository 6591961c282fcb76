// The backends this system's build installs process-wide unless a test
// installs others.
#pragma once

#include "platform/network_platform.h"
#include "platform/posix/cups_spooler.h"
#include "platform/posix/posix_platform.h"
#include "platform/posix/udev_usb_bus.h"

namespace talq::platform {

using NativePlatform = WithNetworkDevices<posix::PosixPlatform>;
using NativeSpooler = posix::CupsSpooler;
using NativeUsbBus = posix::UdevUsbBus;

}  // namespace talq::platform
