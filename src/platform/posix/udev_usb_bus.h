// The USB bus through libudev: present USB devices with the usblp printer
// node of each, the serial lines of USB serial adapters, and a udev monitor of
// USB devices and their printer nodes.
#pragma once

#include "platform/usb_bus.h"

namespace talq::platform::posix {

class UdevUsbBus final : public UsbBus {
  public:
    std::optional<std::vector<UsbDeviceInfo>> PresentDevices() override;
    std::unique_ptr<UsbMonitor> Watch() override;
    // The tty nodes of USB devices (usbserial's ttyUSB, cdc-acm's ttyACM, ...).
    std::vector<SerialAdapter> PresentSerialLines() override;
};

}  // namespace talq::platform::posix
