#include "platform/native_port_path.h"

namespace talq::platform {

// COMn is the n-th serial line, /dev/ttyS(n-1); LPTn likewise /dev/lp(n-1).
std::string NativePortPath(const std::string& portName, int number) {
    const char* prefix = portName.rfind("COM", 0) == 0 ? "/dev/ttyS" : "/dev/lp";
    return prefix + std::to_string(number - 1);
}

}  // namespace talq::platform
