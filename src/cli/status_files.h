// Status inputs and outputs by name: "….sts" is the 216-byte status file, "….json" the JSON
// form. Inputs are refused whole when they are anything else.
#pragma once

#include <optional>
#include <string>

#include "cli/exit_codes.h"
#include "cli/status_json.h"
#include "status/printer_info.h"

namespace talq::cli {

// Whether an output name says which form to write; an error text when it does not.
std::string CheckOutputName(const std::string& path);

// Refused as the dialogs' Load Status refuses it (status::StatusImageProblem): a script writing
// printers must not send zeros it never meant. A JSON document's pins follow the same rule.
// Failure carries kExitFileFailed.
std::optional<StatusDocument> ReadStatusInput(const std::string& path, Failure& failure);

// Writes whole or not at all; the form follows the name (see CheckOutputName).
bool WriteStatusOutput(const std::string& path, const status::PrinterStatus& status,
                       std::optional<int> model, const status::PrinterInfo* info, Failure& failure);

}  // namespace talq::cli
