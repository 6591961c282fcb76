// The printer's own serial settings, held in pins 2..8 of switch 9 on model 1 ("KTV-540/542").
#pragma once

#include <array>
#include <string_view>

#include "status/printer_status.h"

namespace talq::status {

// Indexes into the printer setting page's lists; -1 = no selection.
struct SerialSettingsIndexes {
    int baud = -1;
    int dataBits = -1;
    int parity = -1;
    int flowControl = -1;

    friend bool operator==(const SerialSettingsIndexes&, const SerialSettingsIndexes&) = default;
};

// The lists that the switch 9 indexes point into.
inline constexpr std::array<std::string_view, 5> kSwitchBaudTexts = {"9600", "19200", "38400",
                                                                     "57600", "115200"};
inline constexpr std::array<std::string_view, 2> kDataBitsTexts = {"7", "8"};
inline constexpr std::array<std::string_view, 3> kParityTexts = {"None", "Odd", "Even"};
inline constexpr std::array<std::string_view, 2> kFlowControlTexts = {"DTR/DSR", "Xon/Xoff"};

// Models 0 and 2 report their speed as a position in this longer list instead.
inline constexpr std::array<std::string_view, 7> kQueriedBaudTexts = {
    "2400", "4800", "9600", "19200", "38400", "57600", "115200"};

// The raw indexes that switch 9 encodes. A baud pattern of 5..7 and a pin 5 value other than
// 0 or 1 fall outside their lists, so a list shows no selection for them.
SerialSettingsIndexes DecodeSerialSettings(const PrinterStatus& status);

// Pins 6..8: index 1..4 sets its pattern; any other index leaves the three clear.
void EncodeBaudRate(PrinterStatus& status, int index);
// Pin 2 is inverted: set for "7" (index 0), clear otherwise.
void EncodeDataBits(PrinterStatus& status, int index);
// Pin 4 clear for "None"; pin 3 is left alone unless "Odd" or "Even" is chosen.
void EncodeParity(PrinterStatus& status, int index);
// Pin 5 := index for 0 or 1; any other index leaves the pin as it was.
void EncodeFlowControl(PrinterStatus& status, int index);

}  // namespace talq::status
