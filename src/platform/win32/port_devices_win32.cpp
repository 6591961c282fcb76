// Windows: COM and LPT ports by their own names, configuration under the
// user's roaming application data and the machine's program data.
#include <cstdlib>

#include "platform/port_devices.h"

namespace talq::platform {
namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

// The name in the device namespace, which is what lets COM10 and above open.
std::string DefaultPortDevice(bool serial, int number) {
    return std::string("\\\\.\\") + (serial ? "COM" : "LPT") + std::to_string(number);
}

std::string UserConfigFolder() {
    return Variable("APPDATA");
}

std::string SystemConfigFolder() {
    return Variable("PROGRAMDATA");
}

// What is behind a COM port only an open tells; the name alone says nothing.
SerialHardware SerialHardwareBehind(const std::string&) {
    return SerialHardware::Unknown;
}

// USB serial adapters take COM numbers of their own; there is no folder of stable names.
std::string SerialAdapterFolder() {
    return {};
}

std::vector<SerialAdapter> PresentSerialAdapters() {
    return {};
}

}  // namespace talq::platform
