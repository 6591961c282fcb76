#include "cli/identity_ports.h"

#include <algorithm>

#include "link/usb_discovery.h"
#include "platform/platform.h"
#include "platform/usb_port_nodes.h"

namespace talq::cli {

std::vector<platform::UsbPortNode> IdentityPortNodes() {
    std::vector<platform::UsbPortNode> nodes = platform::PresentUsbPortNodes();
    // Another maker's printer would never identify as one of ours.
    std::erase_if(nodes, [](const platform::UsbPortNode& node) {
        return !node.serialLine &&
               link::UsbModelLabel(node.identity.vendorId, node.identity.productId) == nullptr;
    });
    return nodes;
}

const platform::UsbPortNode* PresentUsbPorts::Behind(const std::string& device) const {
    if (device.empty()) return nullptr;
    std::string node = device;
    for (const platform::SerialAdapter& adapter : adapters) {
        const bool named =
            adapter.path == device ||
            std::find(adapter.links.begin(), adapter.links.end(), device) != adapter.links.end();
        if (named) node = adapter.device;
    }
    // A link of the user's own to the node counts too.
    const std::string real = platform::NodeBehindLinks(device);
    for (const platform::UsbPortNode& present : nodes) {
        if (present.node == node || (!real.empty() && present.node == real)) return &present;
    }
    return nullptr;
}

std::string PresentUsbPorts::NameOf(const platform::UsbPortNode* node) const {
    return node != nullptr ? platform::IdentityNameOf(*node, nodes) : std::string();
}

std::optional<PortTarget> OpenedIdentityTarget(const PortTarget& target, int model,
                                               Failure& failure) {
    const auto kind = model == 2 ? platform::UsbNodeKind::SerialLine : platform::UsbNodeKind::Any;
    const platform::UsbIdentityLookup lookup =
        platform::LookUpUsbIdentity(target.name, kind, IdentityPortNodes());
    if (lookup.matches.size() != 1) {
        // The text starts with the name.
        failure = {kExitPortFailed, platform::LookupFailureText(target.name, lookup, kind)};
        return std::nullopt;
    }
    const platform::UsbPortNode& node = lookup.matches.front();
    PortTarget opened = target;
    if (node.serialLine) {
        opened.kind = link::Serial;
        opened.settings.portName = platform::DirectPortName(true, node.node);
    } else {
        opened.kind = link::Usb;
        opened.settings.portName =
            link::UsbModelLabel(node.identity.vendorId, node.identity.productId) + node.node;
    }
    return opened;
}

}  // namespace talq::cli
