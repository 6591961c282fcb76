#include "cli/port_names.h"

#include "link/connection_choices.h"
#include "link/usb_discovery.h"
#include "platform/network_address.h"
#include "platform/platform.h"

namespace talq::cli {
namespace {

using link::kUsbModelLabelLength;

bool IsUsbEntry(const std::string& name) {
    const std::string label = name.substr(0, kUsbModelLabelLength);
    return (label == "520plus:" || label == "540/542:") && name.size() > kUsbModelLabelLength;
}

}  // namespace

std::vector<std::string> FixedPortNames() {
    std::vector<std::string> names = link::ComPortNames();
    for (std::string& name : link::LptPortNames()) names.push_back(std::move(name));
    return names;
}

std::optional<link::PortKind> PortKindOfName(const std::string& name) {
    for (const std::string& fixed : FixedPortNames()) {
        if (name == fixed) return name.rfind("COM", 0) == 0 ? link::Serial : link::Parallel;
    }
    if (IsUsbEntry(name)) return link::Usb;
    if (platform::ParseNetworkAddress(name)) return link::Serial;  // behind a device server
    return std::nullopt;
}

std::string DevicePathOf(const std::string& name) {
    if (IsUsbEntry(name)) return name.substr(kUsbModelLabelLength);
    return platform::DevicePathForPort(name);
}

}  // namespace talq::cli
