// Ports named by the USB identity of a printer or a serial adapter ("usb:serial=A1B2C3"): the
// device looked up when the port is opened, as the connection record the link takes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/port_session.h"
#include "platform/port_devices.h"
#include "platform/usb_identity.h"

namespace talq::cli {

// The nodes a --port identity may name: the maker's printers and the serial adapters.
std::vector<platform::UsbPortNode> IdentityPortNodes();

// The USB printers and serial adapters present now, and which of them a device reaches.
struct PresentUsbPorts {
    std::vector<platform::UsbPortNode> nodes = IdentityPortNodes();
    std::vector<platform::SerialAdapter> adapters = platform::PresentSerialAdapters();

    // The node `device` is, or an adapter's stable name for; nullptr for any other device.
    const platform::UsbPortNode* Behind(const std::string& device) const;
    // Its identity name among the present ones; "" for nullptr, or when it has none.
    std::string NameOf(const platform::UsbPortNode* node) const;
};

// The target with the one device its name reaches now: a USB printer as the entry discovery
// lists for it, a serial adapter's line as a serial port on that node. Names the nodes to
// choose from when it reaches none or several (kExitPortFailed). The KTV-520plusF is looked
// for among the serial adapters only.
std::optional<PortTarget> OpenedIdentityTarget(const PortTarget& target, int model,
                                               Failure& failure);

}  // namespace talq::cli
