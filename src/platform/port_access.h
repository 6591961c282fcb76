// Whether this user can reach a device, and in words why not: the system's
// reason, and what grants access where the system has such a thing. Looks
// only; it never opens the device.
#pragma once

#include <string>

#include "platform/port_devices.h"

namespace talq::platform {

struct PortAccess {
    std::string devicePath;
    bool exists = false;
    bool usable = false;  // read and write allowed for this user
    std::string group;    // owner group of the node, e.g. "dialout" or "lp" (POSIX)
    std::string reason;   // the system's reason when !exists or !usable
    bool denied = false;  // the reason is a permission problem
    bool absent = false;  // no such node (an adapter unplugged, a mapping to a future device)
    // False where the system, without an open, says only that the device name exists
    // (Windows): then `usable` means present, not known to open.
    bool accessKnown = true;
    // For COM ports: what the system says is behind the node.
    SerialHardware hardware = SerialHardware::Unknown;
};

PortAccess ExamineDeviceAccess(const std::string& devicePath);

// Why a device could not be opened, for the end of a sentence.
std::string ExplainDeviceOpenFailure(const std::string& devicePath);

}  // namespace talq::platform
