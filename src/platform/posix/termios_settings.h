// Maps the connection record's serial line settings onto termios and modem
// control lines, apart from any device, so the mapping can be checked on its
// own.
#pragma once

#include <termios.h>

#include <optional>

#include "platform/platform.h"

namespace talq::platform::posix {

struct SerialConfiguration {
    termios attributes{};
    int modemLinesOn = 0;   // TIOCM_* bits to raise
    int modemLinesOff = 0;  // TIOCM_* bits to drop
};

// Raw mode with the given speed, character size, parity, stop bits and flow
// control, on top of `current`. nullopt when the settings cannot be expressed
// (a speed termios does not know, a size other than 7 or 8, one and a half
// stop bits with 7 or 8 data bits, a code out of range).
std::optional<SerialConfiguration> ConfigureSerial(const termios& current,
                                                   const LineSettings& settings);

// The termios speed constant for bits per second, or nullopt.
std::optional<speed_t> SpeedFor(int baudRate);

}  // namespace talq::platform::posix
