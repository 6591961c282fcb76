// The text form of a status: the six switches pin by pin with the model's captions, then the
// code page, the serial settings and what the printer said about itself.
#pragma once

#include <optional>
#include <ostream>

#include "status/printer_info.h"
#include "status/printer_status.h"

namespace talq::cli {

void PrintStatus(std::ostream& out, const status::PrinterStatus& status, std::optional<int> model,
                 const status::PrinterInfo* info = nullptr);

}  // namespace talq::cli
