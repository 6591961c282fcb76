// The port names talq accepts: those the connection dialog offers.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "link/port_settings.h"

namespace talq::cli {

// COM1..COM10, LPT1..LPT3, in the dialog's order.
std::vector<std::string> FixedPortNames();

// The interface of a dialog port name: COMn serial, LPTn parallel, "520plus:" or "540/542:"
// followed by a device path USB; a device server's address ("rfc2217:HOST:PORT", "tcp:HOST:PORT")
// serial; nullopt for any other text.
std::optional<link::PortKind> PortKindOfName(const std::string& name);

// The device node a port name opens.
std::string DevicePathOf(const std::string& name);

}  // namespace talq::cli
