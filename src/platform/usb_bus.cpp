#include "platform/usb_bus.h"

#include "platform/posix/udev_usb_bus.h"

namespace talq::platform {
namespace {

UsbBus* installed = nullptr;

UsbBus& Native() {
    static posix::UdevUsbBus native;
    return native;
}

}  // namespace

UsbBus& CurrentUsbBus() {
    return installed != nullptr ? *installed : Native();
}

UsbBus* InstallUsbBus(UsbBus* bus) {
    UsbBus* previous = installed != nullptr ? installed : &Native();
    installed = (bus == &Native()) ? nullptr : bus;
    return previous;
}

}  // namespace talq::platform
