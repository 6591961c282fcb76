// The USB bus through the device-setup services: the interfaces of the
// present USB devices with their paths and ids.
#pragma once

#include "platform/usb_bus.h"

namespace talq::platform::win32 {

class SetupApiUsbBus final : public UsbBus {
  public:
    std::optional<std::vector<UsbDeviceInfo>> PresentDevices() override;
    std::unique_ptr<UsbMonitor> Watch() override;
};

}  // namespace talq::platform::win32
