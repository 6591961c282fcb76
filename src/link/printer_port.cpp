#include "link/printer_port.h"

#include <string>

#include "link/usb_discovery.h"
#include "platform/network_address.h"

namespace talq::link {

PrinterPort::~PrinterPort() = default;

SerialPort* PrinterPort::serial() {
    auto* p = std::get_if<std::unique_ptr<SerialPort>>(&connection);
    return p != nullptr ? p->get() : nullptr;
}

ParallelPort* PrinterPort::parallel() {
    auto* p = std::get_if<std::unique_ptr<ParallelPort>>(&connection);
    return p != nullptr ? p->get() : nullptr;
}

UsbPort* PrinterPort::usb() {
    auto* p = std::get_if<std::unique_ptr<UsbPort>>(&connection);
    return p != nullptr ? p->get() : nullptr;
}

int PrinterPort::Configure(PortSettings settings) {
    connection = std::monostate{};
    const std::string& name = settings.portName;
    // A printer behind a device server is on a serial line, however its address reads.
    if (name.compare(0, 3, "COM") == 0 || platform::IsNetworkAddress(name)) {
        kind = Serial;
        auto port = std::make_unique<SerialPort>();
        const int accepted = port->SetSettings(settings);
        connection = std::move(port);
        return accepted;
    }
    if (name.compare(0, 3, "LPT") == 0) {
        kind = Parallel;
        auto port = std::make_unique<ParallelPort>();
        const int accepted = port->SetSettings(settings);
        connection = std::move(port);
        return accepted;
    }
    if (name.find("520") != std::string::npos || name.find("540") != std::string::npos) {
        kind = Usb;
        auto port = std::make_unique<UsbPort>();
        // Drop the model-group label in front of the path.
        settings.portName =
            name.size() > kUsbModelLabelLength ? name.substr(kUsbModelLabelLength) : std::string();
        const int accepted = port->SetSettings(settings);
        connection = std::move(port);
        return accepted;
    }
    return 0;
}

int PrinterPort::Open() {
    switch (kind) {
        case Serial: return serial() ? serial()->Open() : 0;
        case Parallel: return parallel() ? parallel()->Open() : 0;
        case Usb: return usb() ? usb()->Open() : 0;
    }
    return 0;
}

int PrinterPort::Write(const std::uint8_t* data, int count) {
    switch (kind) {
        // The parallel port writes exactly as the serial port does.
        case Serial: return serial() ? serial()->Write(data, count) : 0;
        case Parallel: return parallel() ? parallel()->Write(data, count) : 0;
        case Usb: return usb() ? usb()->Write(data, count) : 0;
    }
    return 0;
}

int PrinterPort::Read(std::uint8_t* buffer, int count, int /*timeoutMs*/) {
    switch (kind) {
        case Serial: return serial() ? serial()->Read(buffer, count) : 0;
        case Parallel: return parallel() ? parallel()->Read(buffer, count) : 0;
        case Usb: return usb() ? usb()->Read(buffer, count) : 0;
    }
    return 0;
}

void PrinterPort::Close() {
    switch (kind) {
        case Serial: if (serial()) serial()->Close(); break;
        case Parallel: if (parallel()) parallel()->Close(); break;
        case Usb: if (usb()) usb()->Close(); break;
    }
    connection = std::monostate{};
}

}  // namespace talq::link
