// The one connection to the printer: a factory by port name, then transfers
// forwarded to the port object of the stored kind.
#pragma once

#include <cstdint>
#include <memory>
#include <variant>

#include "link/parallel_port.h"
#include "link/port_settings.h"
#include "link/serial_port.h"
#include "link/usb_port.h"

namespace talq::link {

class PrinterPort {
public:
    PrinterPort() = default;
    virtual ~PrinterPort();
    PrinterPort(const PrinterPort&) = delete;
    PrinterPort& operator=(const PrinterPort&) = delete;

    // 1 when a port object was built and accepted the settings, else 0.
    int Configure(PortSettings settings);
    int Open();
    int Write(const std::uint8_t* data, int count);
    // `timeoutMs` has no effect: the port's own time-outs decide.
    int Read(std::uint8_t* buffer, int count, int timeoutMs);
    void Close();

    PortKind kind = Serial;
    // The port object of `kind`, or empty.
    std::variant<std::monostate, std::unique_ptr<SerialPort>, std::unique_ptr<ParallelPort>,
                 std::unique_ptr<UsbPort>>
        connection;

    bool HasConnection() const { return connection.index() != 0; }
    SerialPort* serial();
    ParallelPort* parallel();
    UsbPort* usb();
};

}  // namespace talq::link
