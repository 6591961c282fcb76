#include "cli/usb_entries.h"

#include "link/usb_discovery.h"
#include "platform/console.h"
#include "platform/usb_bus.h"

namespace talq::cli {

// USB discovery writes its diagnostic lines to standard output; while it runs they go to
// standard error (or nowhere when quiet).
std::vector<std::string> UsbEntries(bool quiet) {
    platform::StandardOutputAside aside(quiet);
    link::PortList list;
    link::FindUsbPrinters(list);
    return list.entries();
}

std::string NoUsbEntriesReason() {
    const auto devices = platform::CurrentUsbBus().PresentDevices();
    if (!devices) return "the system gives no list of USB devices";
    std::size_t makers = 0;
    for (const platform::UsbDeviceInfo& device : *devices) {
        if (link::UsbModelLabel(device.vendorId, device.productId) != nullptr) ++makers;
    }
    if (makers == 0) {
        return "no KTV printer is plugged in (" + std::to_string(devices->size()) +
               " USB devices present)";
    }
    return std::to_string(makers) +
           " KTV printer(s) found, but none could be opened (see `talq ports`)";
}

}  // namespace talq::cli
