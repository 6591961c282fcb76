// The interface kind of a connection and the record that configures it.
#pragma once

#include <string>

#include "platform/platform.h"

namespace talq::link {

enum PortKind : int { Serial = 0, Parallel = 1, Usb = 2 };

struct PortSettings {
    std::string portName;
    int baudRate = 0;
    int dataBits = 0;
    int stopBits = 0;
    int parity = 0;
    int flowControl = 0;
    platform::CommTimeouts timeouts{10, 10, 10, 0, 0};
};

}  // namespace talq::link
