// Whether this user can reach a port's device, and in words why not: the path, the system's
// reason, and for a permission problem what grants access. Looks only; it never opens the
// device.
#pragma once

#include <string>

#include "link/port_settings.h"
#include "platform/port_access.h"

namespace talq::cli {

using PortAccess = platform::PortAccess;

PortAccess ExaminePortAccess(const std::string& portName);

// The sentence for a port that could not be opened, naming it once: "COM4: /dev/ttyS3 cannot be
// opened: ...". With the settings it was opened with, a serial line setting that the system
// refuses is named.
std::string ExplainOpenFailure(const std::string& portName,
                               const link::PortSettings* settings = nullptr);

}  // namespace talq::cli
