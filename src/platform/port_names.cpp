#include <cstdlib>
#include <string>

#include "platform/native_port_path.h"
#include "platform/platform.h"

namespace talq::platform {
namespace {

// The number after a "COM"/"LPT" prefix, or 0 when the rest is not a plain
// positive decimal number.
int PortNumber(const std::string& name) {
    if (name.size() < 4 || name.size() > 6) return 0;
    int number = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return 0;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

std::string MappedPath(const std::string& name) {
    const int number = PortNumber(name);
    if (number < 1) return {};  // nothing to open: the open fails
    const std::string variable = "TALQ_" + name;
    if (const char* override = std::getenv(variable.c_str()); override != nullptr && *override) {
        return override;
    }
    return NativePortPath(name, number);
}

}  // namespace

std::string DevicePathForPort(const std::string& portName) {
    if (portName.rfind("COM", 0) == 0 || portName.rfind("LPT", 0) == 0) return MappedPath(portName);
    return portName;
}

}  // namespace talq::platform
