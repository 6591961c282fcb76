// The USB bus through the device-setup services: the interfaces of the
// present USB devices with their paths, ids and serial numbers, and the COM ports.
#pragma once

#include "platform/usb_bus.h"

namespace talq::platform::win32 {

class SetupApiUsbBus final : public UsbBus {
  public:
    std::optional<std::vector<UsbDeviceInfo>> PresentDevices() override;
    std::unique_ptr<UsbMonitor> Watch() override;
    // Every COM port of the Ports class, with the USB device behind it.
    std::vector<SerialAdapter> PresentSerialLines() override;
};

}  // namespace talq::platform::win32
