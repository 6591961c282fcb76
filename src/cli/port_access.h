// Whether this user can reach a port's device, and in words why not: the path, the system's
// reason, and for a permission problem the group that grants access. Looks only; it never
// opens the device.
#pragma once

#include <string>

#include "platform/port_devices.h"

namespace talq::cli {

struct PortAccess {
    std::string devicePath;
    bool exists = false;
    bool usable = false;  // read and write allowed for this user
    std::string group;    // owner group of the node, e.g. "dialout" or "lp"
    std::string reason;   // the system's reason when !exists or !usable
    bool denied = false;  // the reason is a permission problem
    bool absent = false;  // no such node (an adapter unplugged, a mapping to a future device)
    // For COM ports: what the system says is behind the node.
    platform::SerialHardware hardware = platform::SerialHardware::Unknown;
};

PortAccess ExaminePortAccess(const std::string& portName);

// The sentence for a port that could not be opened.
std::string ExplainOpenFailure(const std::string& portName);

}  // namespace talq::cli
