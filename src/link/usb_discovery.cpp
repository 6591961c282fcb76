#include "link/usb_discovery.h"

#include <cstddef>
#include <cstdio>

namespace talq::link {
namespace {

constexpr std::uint16_t kMakerVendorId = 0x7c1a;
// The first pass ends after this many devices; each later pass doubles it.
constexpr std::size_t kFirstPassEnd = 8;

}  // namespace

const char* UsbModelLabel(std::uint16_t vendorId, std::uint16_t productId) {
    if (vendorId != kMakerVendorId) return nullptr;
    if (productId == 0x0001 || productId == 0x0004) return "540/542:";
    if (productId == 0x0006) return "520plus:";
    return nullptr;
}

platform::DeviceHandle OpenInterfacePath(const platform::UsbDeviceInfo& device, std::string& path) {
    // A device without a printer node has no path to open.
    if (device.devnode.empty()) return platform::kNoDevice;
    path = device.devnode;
    std::printf("Attempting to open %s\n", path.c_str());
    const platform::DeviceHandle handle = platform::Current().OpenDevice(path);
    if (handle == platform::kNoDevice) std::printf("FAILED to open %s\n", path.c_str());
    return handle;
}

void FindUsbPrinters(PortList& list) {
    const auto devices = platform::CurrentUsbBus().PresentDevices();
    // No device set: nothing could ever be opened, so the passes would never
    // end; the scan ends with nothing found.
    if (!devices) return;

    bool deviceOpened = false;
    std::size_t passEnd = kFirstPassEnd;
    for (std::size_t index = 0; index < devices->size(); ++index) {
        if (index == passEnd) {
            // Once any device could be opened, the scan ends with its pass.
            if (deviceOpened) break;
            passEnd *= 2;
        }
        const platform::UsbDeviceInfo& device = (*devices)[index];
        std::string path;
        const platform::DeviceHandle handle = OpenInterfacePath(device, path);
        if (handle == platform::kNoDevice) continue;
        deviceOpened = true;
        platform::Current().CloseDevice(handle);

        const char* label = UsbModelLabel(device.vendorId, device.productId);
        if (label == nullptr) continue;
        list.Add(label + path);
    }
    std::fflush(stdout);
}

}  // namespace talq::link
