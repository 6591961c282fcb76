#include "platform/serial_line_accepts.h"

#include <windows.h>

namespace talq::platform {

// What the system's serial driver takes: 5 to 8 data bits, its five parities,
// one and a half stop bits only with five data bits and two never with them.
bool SerialLineAccepts(const LineSettings& settings) {
    const int dataBits = settings.dataBits & 0xFF;
    const int stopBits = settings.stopBits & 0xFF;
    if (settings.baudRate <= 0 || dataBits < 5 || dataBits > 8) return false;
    if ((settings.parity & 0xFF) > SPACEPARITY) return false;
    switch (stopBits) {
        case ONESTOPBIT:
            return true;
        case ONE5STOPBITS:
            return dataBits == 5;
        case TWOSTOPBITS:
            return dataBits != 5;
        default:
            return false;
    }
}

}  // namespace talq::platform
