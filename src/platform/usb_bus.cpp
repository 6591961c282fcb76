#include "platform/usb_bus.h"

#include "native_backends.h"
#include "platform/process_wide.h"

namespace talq::platform {
namespace {

ProcessWide<UsbBus, NativeUsbBus> bus;

}  // namespace

UsbBus& CurrentUsbBus() { return bus.Current(); }

UsbBus* InstallUsbBus(UsbBus* replacement) { return bus.Install(replacement); }

UsbIdentity IdentityOf(const UsbDeviceInfo& device) {
    return {device.vendorId, device.productId, device.serialNumber, device.busPath, -1};
}

}  // namespace talq::platform
