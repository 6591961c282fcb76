// The system's list of the serial ports its drivers run (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM):
// each UART, USB serial adapter or modem driver enters its COM name there while it runs.
#pragma once

#include <string_view>

namespace talq::platform::win32 {

// Whether a serial driver runs the port `name` ("COM3", in any case) now.
bool SerialDriverRuns(std::string_view name);

}  // namespace talq::platform::win32
