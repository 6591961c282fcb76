#include "platform/serial_line_accepts.h"

#include "platform/posix/termios_settings.h"

namespace talq::platform {

bool SerialLineAccepts(const LineSettings& settings) {
    return posix::ConfigureSerial(termios{}, settings).has_value();
}

}  // namespace talq::platform
