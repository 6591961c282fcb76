// Edits given on the command line: single pins (--pin SW.PIN=0|1), settings by their words
// (--setting CAPTION=WORD), the default code page (--code-page NAME|N) and, on "KTV-540/542",
// the printer's own serial settings (--printer-baud, --printer-data-bits, --printer-parity,
// --printer-flow).
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

// The edits as typed; empty texts were not given.
struct EditTexts {
    std::vector<std::string> pins;
    std::vector<std::string> settings;
    std::string codePage;
    std::string printerBaud, printerDataBits, printerParity, printerFlow;
};

// Indexes into the printer setting page's lists ("9600".."115200", "7" "8", "None" "Odd"
// "Even", "DTR/DSR" "Xon/Xoff").
struct SerialEdits {
    std::optional<int> baud, dataBits, parity, flowControl;
};

struct StatusEdits {
    std::vector<PinEdit> pins;  // --pin, then the --setting of single pins
    std::optional<int> codePage;
    SerialEdits serial;
    std::vector<std::string> warnings;  // for stderr: a --pin on a reserved pin
};

// Parses every edit for `model`; on a bad one, or on a pin that two edits set (other than
// --pin twice), says why in `error` (a usage error: nothing is touched).
std::optional<StatusEdits> ParseStatusEdits(const EditTexts& texts, int model, std::string& error);

// Pins first, in the order given, then the code page, then the serial settings; no two of
// them set the same pin.
void ApplyStatusEdits(status::PrinterStatus& status, const StatusEdits& edits);

}  // namespace talq::cli
