#include "platform/win32/setupapi_usb_bus.h"

namespace talq::platform::win32 {

// Not reached yet: no device is listed and no monitor offered.
std::optional<std::vector<UsbDeviceInfo>> SetupApiUsbBus::PresentDevices() {
    return std::vector<UsbDeviceInfo>{};
}

std::unique_ptr<UsbMonitor> SetupApiUsbBus::Watch() {
    return nullptr;
}

}  // namespace talq::platform::win32
