#include "platform/posix/termios_settings.h"

#include <sys/ioctl.h>

namespace talq::platform::posix {

std::optional<speed_t> SpeedFor(int baudRate) {
    switch (baudRate) {
        case 1200: return B1200;
        case 2400: return B2400;
        case 4800: return B4800;
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        case 230400: return B230400;
        default: return std::nullopt;
    }
}

std::optional<SerialConfiguration> ConfigureSerial(const termios& current,
                                                   const LineSettings& settings) {
    const auto speed = SpeedFor(settings.baudRate);
    if (!speed) return std::nullopt;

    SerialConfiguration result;
    termios& t = result.attributes;
    t = current;
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, *speed);
    cfsetospeed(&t, *speed);

    t.c_cflag &= ~CSIZE;
    switch (settings.dataBits & 0xFF) {
        case 7: t.c_cflag |= CS7; break;
        case 8: t.c_cflag |= CS8; break;
        default: return std::nullopt;
    }

    t.c_cflag &= ~(PARENB | PARODD);
    switch (settings.parity & 0xFF) {
        case 0: break;
        case 1: t.c_cflag |= PARENB | PARODD; break;
        case 2: t.c_cflag |= PARENB; break;
        default: return std::nullopt;
    }

    // termios has no one-and-a-half stop bits; a UART gives them only with
    // five data bits, which this record never asks for, so the device refuses.
    t.c_cflag &= ~CSTOPB;
    switch (settings.stopBits & 0xFF) {
        case 0: break;
        case 2: t.c_cflag |= CSTOPB; break;
        default: return std::nullopt;
    }

    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    t.c_cflag &= ~CRTSCTS;
    if (settings.flowControl == 0) {
        t.c_cflag |= CRTSCTS;
        result.modemLinesOn = TIOCM_DTR;
        result.modemLinesOff = TIOCM_RTS;
    } else {
        t.c_iflag |= IXON | IXOFF;
        result.modemLinesOn = TIOCM_DTR | TIOCM_RTS;
    }
    return result;
}

}  // namespace talq::platform::posix
