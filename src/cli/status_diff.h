// Differences between two status records, pin by pin.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

#include "status/printer_status.h"

namespace talq::cli {

struct PinChange {
    int slot;
    int pin;  // 0 is the integer before pin 1, which is no pin
    std::int32_t before;
    std::int32_t after;
};

// Every integer that differs, pins[0] included: what makes two status files differ.
std::vector<PinChange> ExactDifferences(const status::PrinterStatus& before,
                                        const status::PrinterStatus& after);

// Whether Set Status puts this pin on the wire: every pin except 1, 2, 3, 6, 7 and 8 of
// switch 1, which keep the printer's values.
bool IsSentPin(int slot, int pin);

// The sent pins whose wire value (set when non-zero) differs; before/after are 0 or 1.
std::vector<PinChange> SentDifferences(const status::PrinterStatus& before,
                                       const status::PrinterStatus& after);

// One line per change between the records `before` and `after`: "switch 10 pin 5: 0 -> 1
// [PIN 5] Paper width: 3 inch -> 2 inch". The pins that hold the code page (and on
// "KTV-540/542" the printer's serial settings) give one line for the setting instead, with the
// pins in brackets: "default code page: 0 PC437 (USA: Standard Europe) -> 2 PC850
// (Multilingual)  [switch 2 pin 5: 0 -> 1]".
void PrintChanges(std::ostream& out, const status::PrinterStatus& before,
                  const status::PrinterStatus& after, const std::vector<PinChange>& changes,
                  std::optional<int> model);

}  // namespace talq::cli
