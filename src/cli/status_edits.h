// Edits given on the command line: single pins (--pin SW.PIN=0|1) and the default code page
// (--code-page NAME|N).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "status/printer_status.h"

namespace talq::cli {

struct PinEdit {
    int slot;
    int pin;
    int value;  // 0 or 1
};

struct StatusEdits {
    std::vector<PinEdit> pins;
    std::optional<int> codePage;
};

// Parses every --pin and the --code-page; on a bad one, says why in `error`.
std::optional<StatusEdits> ParseStatusEdits(const std::vector<std::string>& pinTexts,
                                            const std::string& codePageText, std::string& error);

// Pins first, in the order given, then the code page.
void ApplyStatusEdits(status::PrinterStatus& status, const StatusEdits& edits);

}  // namespace talq::cli
