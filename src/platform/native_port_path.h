// The device a port name opens when no TALQ_COMn / TALQ_LPTn variable says
// otherwise: the system's own node for COM `number` or LPT `number`.
#pragma once

#include <string>

namespace talq::platform {

// `portName` is "COM" or "LPT" followed by `number` (at least 1).
std::string NativePortPath(const std::string& portName, int number);

}  // namespace talq::platform
