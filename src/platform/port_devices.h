// What the port mapping asks of the operating system: the device a fixed port name reaches by
// default, where configuration lives, whether a serial node has hardware behind it, and the
// serial adapters plugged in. Each backend implements these; the mapping itself (ports file,
// precedence, reports) is OS-free.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/usb_identity.h"

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

// The node `path` leads to through symbolic links (a stable name of udev's, a user's own link),
// each followed in turn; `path` itself when it is no link. "" when a link leads nowhere.
std::string NodeBehindLinks(const std::string& path);

// Looks the node up in the system's device description; never opens it.
SerialHardware SerialHardwareBehind(const std::string& devicePath);

// Whether the node is one the kernel writes its console to (a serial console, where a login
// or the boot messages may be); looked up, never opened. Always false on Windows.
bool IsSystemConsole(const std::string& devicePath);

struct SerialAdapter {
    // The name to map a port to: the stable one, /dev/serial/by-id/usb-...-if00-port0 (the
    // node itself when udev made none); on Windows the port's own name, COM12.
    std::string path;
    std::string device;  // the node it names now: /dev/ttyUSB0; on Windows \\.\COM12
    // The names the system made for it (/dev/serial/by-id/..., by-path/...), so that a mapping
    // to any of them is known as this adapter's.
    std::vector<std::string> links;
    std::string description;         // the system's words for it: "USB Serial Port (COM12)"
    std::string location;            // where the system says it is plugged in, for people
    std::optional<UsbIdentity> usb;  // the USB device behind it; none for a port on the board
};

// Where stable names of serial adapters live, for messages; "" on Windows, which has none.
std::string SerialAdapterFolder();
// The serial adapters present (on Windows every COM port the system describes), sorted by
// `path`.
std::vector<SerialAdapter> PresentSerialAdapters();

}  // namespace talq::platform
