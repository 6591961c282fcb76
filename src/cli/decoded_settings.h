// The code page and serial settings as words, decoded from the pins or from what the printer
// reported; what the text and JSON forms of a status show.
#pragma once

#include <optional>
#include <string>

#include "cli/models.h"
#include "status/printer_info.h"
#include "status/printer_status.h"

namespace talq::cli {

struct SerialWords {
    // Empty when the index selects no list entry.
    std::string baud, dataBits, parity, flowControl;

    friend bool operator==(const SerialWords&, const SerialWords&) = default;
};

// The list entry of the code page the pins give; empty above 36.
std::string CodePageName(int index);

// Whether the list has an entry for the code page: a printer may hold any of the 64 patterns,
// and the dialog then shows no code page selected.
bool IsListedCodePage(int index);

// "2 PC850 (Multilingual)", or "44 (matches no entry of the list)" for a number no entry has.
std::string CodePageText(int index);

// On "KTV-540/542" from switch 9; on the other models from what Get Status read (`info`), and
// nothing without it.
std::optional<SerialWords> SerialSettingsWords(const status::PrinterStatus& status,
                                               std::optional<int> model,
                                               const status::PrinterInfo* info);

// "baud 19200, data bits 8, parity None, flow control DTR/DSR"; with `other`, only the
// settings that differ from it, each as "baud 115200 -> 9600".
std::string SerialSettingsText(const SerialWords& words, const SerialWords* other = nullptr);

// Pins that hold a decoded setting instead of a catalogue entry: pins 3..8 of switch 2 (the
// code page, every model) and pins 2..8 of switch 9 (the serial settings, "KTV-540/542" only).
bool IsCodePagePin(int slot, int pin);
bool IsSerialPin(std::optional<int> model, int slot, int pin);

// Whether the model keeps its own serial settings in the switches that Set Status writes.
inline bool SerialSettingsInSwitches(std::optional<int> model) {
    return model == 1;
}

// The connection's line settings that reach a printer set to `words`: its "DTR/DSR" is the
// connection's hardware handshake. A word stays empty when the printer's has no list entry.
LineWords LineWordsFor(const SerialWords& words);

// "--baud 9600 --data-bits 8 --parity Even --flow Hardware", leaving out empty words.
std::string LineOptionsText(const LineWords& words);

}  // namespace talq::cli
