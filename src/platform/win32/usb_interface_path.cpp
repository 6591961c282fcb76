#include "platform/win32/usb_interface_path.h"

namespace talq::platform::win32 {
namespace {

// The four lower-case hex digits after `token`, or 0.
std::uint16_t HexAfter(const std::string& path, const std::string& token) {
    const std::size_t at = path.find(token);
    if (at == std::string::npos || at + token.size() + 4 > path.size()) return 0;
    std::uint16_t value = 0;
    for (std::size_t i = at + token.size(); i < at + token.size() + 4; ++i) {
        const char c = path[i];
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (digit < 0) return 0;
        value = static_cast<std::uint16_t>(value * 16 + digit);
    }
    return value;
}

}  // namespace

UsbIds UsbIdsOfInterfacePath(const std::string& path) {
    UsbIds ids;
    // The maker's tokens first, wherever they stand, as the port list's rules test them.
    ids.vendorId = path.find("vid_7c1a") != std::string::npos ? 0x7c1a : HexAfter(path, "vid_");
    for (const std::uint16_t product : {0x0001, 0x0004, 0x0006}) {
        static constexpr char kHex[] = "0123456789abcdef";
        const std::string token = std::string("pid_000") + kHex[product];
        if (path.find(token) != std::string::npos) {
            ids.productId = product;
            return ids;
        }
    }
    ids.productId = HexAfter(path, "pid_");
    return ids;
}

}  // namespace talq::platform::win32
