// The backends this system's build installs process-wide unless a test
// installs others.
#pragma once

#include "platform/network_platform.h"
#include "platform/win32/setupapi_usb_bus.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/winspool_spooler.h"

namespace talq::platform {

using NativePlatform = WithNetworkDevices<win32::Win32Platform>;
using NativeSpooler = win32::WinspoolSpooler;
using NativeUsbBus = win32::SetupApiUsbBus;

}  // namespace talq::platform
