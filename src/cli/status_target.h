// What a run sends the printer: a file's switches (or the printer's own), then the edits; and
// the line settings that reach the printer once it holds them.
#pragma once

#include <optional>

#include "cli/models.h"
#include "cli/status_edits.h"
#include "status/printer_status.h"

namespace talq::cli {

// The record Set Status will send: `file` (or the printer's values), then the edits. Pins Set
// Status does not send keep the printer's values, so what is shown is what stays; a sent pin
// reads 1 when set, as the printer will hold it.
status::PrinterStatus SentTarget(const status::PrinterStatus& printer,
                                 const std::optional<status::PrinterStatus>& file,
                                 const StatusEdits& edits);

// The line settings to reach the printer with once it holds `target`, when they are not the
// ones it has now: on "KTV-540/542" its serial settings are pins of switch 9.
std::optional<LineWords> NextLine(const status::PrinterStatus& printer,
                                  const status::PrinterStatus& target, int model);

}  // namespace talq::cli
