#include "platform/platform.h"
#include "platform/port_mapping.h"

namespace talq::platform {

std::string DevicePathForPort(const std::string& portName) {
    if (portName.rfind("COM", 0) == 0 || portName.rfind("LPT", 0) == 0) {
        return MappingOfPort(portName).device;
    }
    return portName;
}

}  // namespace talq::platform
