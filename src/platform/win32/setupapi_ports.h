// The serial ports of the device-setup services: every present device of the Ports class that
// has a COM name, with the USB device behind it when there is one.
#pragma once

#include <windows.h>
//
#include <setupapi.h>

#include <string>
#include <vector>

#include "platform/port_devices.h"

namespace talq::platform::win32 {

std::vector<SerialAdapter> SetupApiSerialPorts();

// A text property of a device (the first string of a list), in UTF-8; "" when it has none.
std::string DeviceProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property);

}  // namespace talq::platform::win32
