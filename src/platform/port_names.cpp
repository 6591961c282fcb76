#include "platform/platform.h"
#include "platform/port_mapping.h"
#include "platform/usb_identity.h"
#include "platform/usb_port_nodes.h"

namespace talq::platform {
namespace {

constexpr std::string_view kDirectMark = ":";

// The node a USB identity name reaches now among nodes of `kind`; "" unless exactly one.
std::string NodeOfIdentity(const std::string& name, UsbNodeKind kind) {
    const UsbIdentityLookup lookup = LookUpUsbIdentity(name, kind);
    return lookup.matches.size() == 1 ? lookup.matches.front().node : std::string();
}

}  // namespace

std::string DirectPortName(bool serial, const std::string& device) {
    return (serial ? "COM" : "LPT") + std::string(kDirectMark) + device;
}

std::string DevicePathForPort(const std::string& portName) {
    if (IsUsbIdentityName(portName)) return NodeOfIdentity(portName, UsbNodeKind::Any);
    const bool serial = portName.rfind("COM", 0) == 0;
    if (serial || portName.rfind("LPT", 0) == 0) {
        if (portName.compare(3, kDirectMark.size(), kDirectMark) == 0) {
            return portName.substr(3 + kDirectMark.size());
        }
        const std::string device = MappingOfPort(portName).device;
        // A port mapped by identity reaches a serial adapter's line (COM) or a printer (LPT).
        if (IsUsbIdentityName(device)) {
            return NodeOfIdentity(device, serial ? UsbNodeKind::SerialLine : UsbNodeKind::Printer);
        }
        return device;
    }
    return portName;
}

}  // namespace talq::platform
