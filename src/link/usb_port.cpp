#include "link/usb_port.h"

namespace talq::link {

UsbPort::~UsbPort() = default;

int UsbPort::SetSettings(const PortSettings& settings) {
    if (settings.portName.empty()) return 0;
    devicePath = settings.portName;
    return 1;
}

int UsbPort::Open() { return 0; }
int UsbPort::Write(const std::uint8_t*, int) { return 0; }
int UsbPort::Read(std::uint8_t*, int) { return 0; }
void UsbPort::Close() { isOpen = false; }

}  // namespace talq::link
