// What the port mapping asks of the operating system: the device a fixed port name reaches by
// default, where configuration lives, whether a serial node has hardware behind it, and the
// serial adapters plugged in. Each backend implements these; the mapping itself (ports file,
// precedence, reports) is OS-free.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace talq::platform {

// The device COMn (serial true) or LPTn reaches when nothing maps it; number from 1.
std::string DefaultPortDevice(bool serial, int number);

// The name by which the system itself knows `device` when it is one of the system's own device
// names, which stand as they are on the right of a mapping: on Windows "COM12" for "COM12",
// "com12" or "\\.\COM12". "" for a path in the file system, and always on POSIX.
std::string SystemDeviceName(std::string_view device);

// The folder for this user's configuration, and the machine's; "" when there is none.
std::string UserConfigFolder();
std::string SystemConfigFolder();

enum class SerialHardware {
    Present,  // a UART or a USB serial adapter is behind the node
    Absent,   // the kernel reports no UART for the node
    Unknown,  // not a node the system describes (a pseudo-terminal, a path of our own)
};

// Looks the node up in the system's device description; never opens it.
SerialHardware SerialHardwareBehind(const std::string& devicePath);

// Whether the node is one the kernel writes its console to (a serial console, where a login
// or the boot messages may be); looked up, never opened. Always false on Windows.
bool IsSystemConsole(const std::string& devicePath);

struct SerialAdapter {
    std::string path;    // stable name, e.g. /dev/serial/by-id/usb-...-if00-port0
    std::string device;  // the node it names now, e.g. /dev/ttyUSB0
};

// Where stable names of serial adapters live, for messages.
std::string SerialAdapterFolder();
// The serial adapters present, by stable name, sorted.
std::vector<SerialAdapter> PresentSerialAdapters();

}  // namespace talq::platform
