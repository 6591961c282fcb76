// Set Status of a run's target, and the host following the printer's new serial settings when
// the run does: what set and replace share once they have decided what to send.
#pragma once

#include <optional>

#include "cli/follow_line.h"
#include "cli/set_json.h"

namespace talq::cli {

// Sends `target` to the printer that held `printer`, then lets `follow` (when given) reach it
// at its new settings, recording in `report` what the printer holds afterwards as far as it is
// known. The failure is the run's.
std::optional<Failure> SendAndFollow(PortSession& session, const status::PrinterStatus& printer,
                                     const status::PrinterStatus& target,
                                     status::PrinterInfo& info, LineFollow* follow,
                                     SetReport& report);

}  // namespace talq::cli
