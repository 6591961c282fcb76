#include "platform/usb_bus.h"

#include "platform/posix/udev_usb_bus.h"
#include "platform/process_wide.h"

namespace talq::platform {
namespace {

ProcessWide<UsbBus, posix::UdevUsbBus> bus;

}  // namespace

UsbBus& CurrentUsbBus() { return bus.Current(); }

UsbBus* InstallUsbBus(UsbBus* replacement) { return bus.Install(replacement); }

}  // namespace talq::platform
