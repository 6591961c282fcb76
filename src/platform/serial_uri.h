// The line settings a CUPS queue's serial: device URI carries for its backend
// ("serial:/dev/ttyS0?baud=9600+bits=8+parity=none+flow=hard"): pure text rules.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace talq::platform {

// `uri` made to print at `line`: baud, bits, parity and flow written first, in that order (the
// backend takes its options in turn, and bits=7 or 8 also sets the parity), every other option
// kept after them as it stands; "+" between options. Stop bits are the queue's own matter and
// are left as they are. nullopt for a URI of another scheme, which keeps no line settings.
std::optional<std::string> SerialUriAtLine(std::string_view uri, const LineSettings& line);

}  // namespace talq::platform
