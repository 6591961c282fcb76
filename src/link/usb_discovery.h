// Finding the maker's USB printers: probe each present USB device by opening
// its printer node, and list "520plus:" or "540/542:" followed by the node for
// each printer of the maker. Writes "Attempting to open" / "FAILED to open"
// lines to standard output for each probe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "link/port_list.h"
#include "platform/platform.h"
#include "platform/usb_bus.h"

namespace talq::link {

// Adds one entry per printer found to the end of `list`, in scan order.
void FindUsbPrinters(PortList& list);

// Puts the device's path into `path` and opens it once; kNoDevice when it has
// no printer node or cannot be opened.
platform::DeviceHandle OpenInterfacePath(const platform::UsbDeviceInfo& device, std::string& path);

// The eight-character label of the maker's model group for these ids, or
// nullptr for any other device.
const char* UsbModelLabel(std::uint16_t vendorId, std::uint16_t productId);
inline constexpr std::size_t kUsbModelLabelLength = 8;  // "520plus:", "540/542:"

}  // namespace talq::link
