// USB printers and serial adapters named by what stays when they are plugged again: the
// device's serial number, or the place on the bus it is plugged into when it has none
// ("usb:serial=A1B2C3", "usb:path=1-1.3"). Such a name stands in --port and on the right of a
// ports file's mapping, and is looked up when the port is opened.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talq::platform {

// What the system tells of the USB device behind a node.
struct UsbIdentity {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string serialNumber;  // "" when the device has none
    // Where it is plugged in: "1-1.3" (bus 1, port 1, port 3 of the hub there); on Windows
    // the location path, "PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(3)".
    std::string busPath;
    int interfaceNumber = -1;  // the interface a serial line belongs to; -1 unknown

    bool operator==(const UsbIdentity&) const = default;
};

inline constexpr std::string_view kUsbIdentityPrefix = "usb:";

// "usb:" followed by KEY=VALUE pairs joined by ',': serial=, path=, vid= and pid= (four hex
// digits), if= (the interface number). Each part given must match.
struct UsbIdentityName {
    std::optional<std::string> serialNumber;
    std::optional<std::string> busPath;
    std::optional<std::uint16_t> vendorId;
    std::optional<std::uint16_t> productId;
    std::optional<int> interfaceNumber;
};

// Whether the text is meant as an identity name (starts with "usb:"), well formed or not.
bool IsUsbIdentityName(std::string_view text);
// The name's parts; nullopt with `problem` set when it is not well formed.
std::optional<UsbIdentityName> ParseUsbIdentityName(std::string_view text, std::string& problem);
// Serial numbers are compared without regard to case: Windows gives them in capitals.
bool Matches(const UsbIdentityName& name, const UsbIdentity& device);

// A node of a USB device that a port opens: a printer node, or a serial adapter's line.
struct UsbPortNode {
    std::string node;  // what opens it: /dev/usb/lp0, /dev/ttyUSB0; \\?\usb#..., \\.\COM12
    bool serialLine = false;
    UsbIdentity identity;
};

// The shortest name that tells `node` apart from every other one in `present`: its serial
// number, else its bus path, else its vendor and product ids, each with the interface when its
// device has several lines; "" when nothing does.
std::string IdentityNameOf(const UsbPortNode& node, const std::vector<UsbPortNode>& present);

// "0403:6001", as lsusb writes the ids.
std::string UsbIdsText(const UsbIdentity& identity);

// A Windows device instance id ("USB\VID_0403&PID_6001\A10K1ABC",
// "USB\VID_067B&PID_2303&MI_00\6&2A1B&0&0000", "FTDIBUS\VID_0403+PID_6001+A10K1ABCA\0000")
// or the id part of an interface path ("\\?\usb#vid_7c1a&pid_0006#a1b2c3#{...}"), read
// for the ids, the serial number and the interface it names. Instance parts that the system
// made up for a device without a serial number (they hold '&') give none. nullopt when the
// text names no USB device.
std::optional<UsbIdentity> UsbIdentityOfInstanceId(std::string_view id);

// "COM12" from a friendly name "USB Serial Port (COM12)"; "" when it ends in no port name.
std::string PortNameInFriendlyName(std::string_view friendlyName);

}  // namespace talq::platform
