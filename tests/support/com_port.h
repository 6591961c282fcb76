// A COM port record as Check Communication builds it, and opening one.
#pragma once

#include <string>

#include "link/printer_port.h"

namespace talq::test {

inline link::PortSettings ComSettings(const std::string& name, int baudRate = 19200) {
    link::PortSettings settings;
    settings.portName = name;
    settings.baudRate = baudRate;
    settings.dataBits = 8;
    return settings;
}

// Configures and opens `port`; false when either step fails.
inline bool OpenCom(link::PrinterPort& port, const std::string& name, int baudRate = 19200) {
    return port.Configure(ComSettings(name, baudRate)) == 1 && port.Open() == 1;
}

}  // namespace talq::test
