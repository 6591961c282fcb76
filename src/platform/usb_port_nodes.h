// The nodes of the USB devices present that a port can open, and the look-up of a USB
// identity name among them (usb_identity.h): when the port is opened, as a mapping is read.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/usb_identity.h"

namespace talq::platform {

// The printer nodes in the bus's order, then the serial adapters' lines.
std::vector<UsbPortNode> PresentUsbPortNodes();

enum class UsbNodeKind { Any, Printer, SerialLine };

struct UsbIdentityLookup {
    std::string problem;               // the name is not well formed (then nothing else is set)
    std::vector<UsbPortNode> matches;  // found: exactly one
    std::vector<UsbPortNode> present;  // the nodes of the kind looked among
};

UsbIdentityLookup LookUpUsbIdentity(std::string_view name, UsbNodeKind kind,
                                    const std::vector<UsbPortNode>& present);
UsbIdentityLookup LookUpUsbIdentity(std::string_view name, UsbNodeKind kind);

// Why a look-up found not exactly one node, naming what is there to choose from:
// "usb:serial=X matches no serial adapter; present: usb:serial=A1 (0403:6001, /dev/ttyUSB0)".
std::string LookupFailureText(std::string_view name, const UsbIdentityLookup& lookup,
                              UsbNodeKind kind);

// A present node in words for lists: "usb:serial=A1 (0403:6001, /dev/ttyUSB0)".
std::string NodeInWords(const UsbPortNode& node, const std::vector<UsbPortNode>& present);

// When `portName` is a USB identity name, or a COM or LPT port mapped to one, that does not
// reach exactly one device now: why not (LookupFailureText); else "".
std::string UsbIdentityProblemOfPort(const std::string& portName);

}  // namespace talq::platform
