// The code page and serial settings as words, decoded from the pins or from what the printer
// reported; what the text and JSON forms of a status show.
#pragma once

#include <optional>
#include <string>

#include "status/printer_info.h"
#include "status/printer_status.h"

namespace talq::cli {

struct SerialWords {
    // Empty when the index selects no list entry.
    std::string baud, dataBits, parity, flowControl;
};

// The list entry of the code page the pins give; empty above 36.
std::string CodePageName(int index);

// On "KTV-540/542" from switch 9; on the other models from what Get Status read (`info`), and
// nothing without it.
std::optional<SerialWords> SerialSettingsWords(const status::PrinterStatus& status,
                                               std::optional<int> model,
                                               const status::PrinterInfo* info);

}  // namespace talq::cli
