// Windows: COM and LPT ports by their own names, configuration under the
// user's roaming application data and the machine's program data.
#include <algorithm>

#include "platform/port_devices.h"
#include "platform/usb_bus.h"
#include "platform/utf8_names.h"
#include "platform/win32/serial_comm_map.h"

namespace talq::platform {

// The name in the device namespace, which is what lets COM10 and above open.
std::string DefaultPortDevice(bool serial, int number) {
    return std::string("\\\\.\\") + (serial ? "COM" : "LPT") + std::to_string(number);
}

std::string SystemDeviceName(std::string_view device) {
    constexpr std::string_view kNamespace = "\\\\.\\";
    const bool spaced = device.substr(0, kNamespace.size()) == kNamespace;
    if (spaced) device.remove_prefix(kNamespace.size());
    std::string name(device);
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    const bool port = name.size() > 3 && name.size() <= 6 &&
                      (name.starts_with("COM") || name.starts_with("LPT")) && name[3] != '0' &&
                      name.find_first_not_of("0123456789", 3) == std::string::npos;
    // Any name in the device namespace is the system's; a bare one only as a port.
    if (port) return name;
    if (spaced && !device.empty() && device.find_first_of("\\/") == std::string_view::npos) {
        return std::string(device);
    }
    return {};
}

std::string UserConfigFolder() {
    return EnvironmentVariable("APPDATA");
}

std::string SystemConfigFolder() {
    return EnvironmentVariable("PROGRAMDATA");
}

// Windows' names of devices are no links.
std::string NodeBehindLinks(const std::string& path) {
    return path;
}

// A port whose serial driver runs has hardware behind it. One that is not in the system's list
// may still be a serial device (a driver that does not enter itself, a file mapped): only an
// open tells.
SerialHardware SerialHardwareBehind(const std::string& devicePath) {
    const std::string name = SystemDeviceName(devicePath);
    if (name.starts_with("COM") && win32::SerialDriverRuns(name)) return SerialHardware::Present;
    return SerialHardware::Unknown;
}

bool IsSystemConsole(const std::string&) {
    return false;
}

// USB serial adapters take COM numbers of their own; there is no folder of stable names.
std::string SerialAdapterFolder() {
    return {};
}

// The device-setup services' Ports class: COM12 and the USB device behind it.
std::vector<SerialAdapter> PresentSerialAdapters() {
    std::vector<SerialAdapter> adapters = CurrentUsbBus().PresentSerialLines();
    // COM2 before COM10.
    const auto number = [](const std::string& name) { return std::make_pair(name.size(), name); };
    std::sort(adapters.begin(), adapters.end(),
              [&](const SerialAdapter& a, const SerialAdapter& b) {
                  return number(a.path) < number(b.path);
              });
    return adapters;
}

}  // namespace talq::platform
