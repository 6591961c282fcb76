// The default code page: a 6-bit index held in pins 3..8 of switch 2.
#pragma once

#include <array>
#include <string_view>

#include "status/printer_status.h"

namespace talq::status {

inline constexpr int kCodePageCount = 37;

// Entries of the code page list, position = code page index.
extern const std::array<std::string_view, kCodePageCount> kCodePageTexts;

// Sum of the bit values of the non-zero code page pins: 0..63 (above 36 matches no entry).
int DecodeCodePage(const PrinterStatus& status);

// Clears pins 3..8 of switch 2, then sets the bits of index for 1..36; any other index
// leaves them clear. Pins 1 and 2 of switch 2 are never touched.
void EncodeCodePage(PrinterStatus& status, int index);

}  // namespace talq::status
