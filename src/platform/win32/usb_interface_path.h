// The vendor and product ids that an NT device interface path carries
// ("\\?\usb#vid_7c1a&pid_0006#...#{a5dcbf10-...}"), as case-sensitive tokens.
#pragma once

#include <cstdint>
#include <string>

namespace talq::platform::win32 {

struct UsbIds {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

// 0 for an id the path does not carry.
UsbIds UsbIdsOfInterfacePath(const std::string& path);

}  // namespace talq::platform::win32
