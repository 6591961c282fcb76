#include "platform/native_port_path.h"

namespace talq::platform {

// The name itself in the device namespace, which is what lets COM10 and above open.
std::string NativePortPath(const std::string& portName, int) { return "\\\\.\\" + portName; }

}  // namespace talq::platform
