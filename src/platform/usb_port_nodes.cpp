#include "platform/usb_port_nodes.h"

#include <algorithm>

#include "platform/port_devices.h"
#include "platform/port_mapping.h"
#include "platform/usb_bus.h"

namespace talq::platform {
namespace {

bool SameDevice(const UsbIdentity& a, const UsbIdentity& b) {
    return a.vendorId == b.vendorId && a.productId == b.productId &&
           a.serialNumber == b.serialNumber && a.busPath == b.busPath;
}

bool OfKind(const UsbPortNode& node, UsbNodeKind kind) {
    return kind == UsbNodeKind::Any || node.serialLine == (kind == UsbNodeKind::SerialLine);
}

const char* KindWords(UsbNodeKind kind, bool plural) {
    switch (kind) {
        case UsbNodeKind::Printer:
            return plural ? "USB printers" : "USB printer";
        case UsbNodeKind::SerialLine:
            return plural ? "serial adapters" : "serial adapter";
        case UsbNodeKind::Any:
            break;
    }
    return plural ? "USB printers or serial adapters" : "USB printer or serial adapter";
}

std::string Listed(const std::vector<UsbPortNode>& nodes, const std::vector<UsbPortNode>& present) {
    std::string text;
    for (const UsbPortNode& node : nodes) {
        text += (text.empty() ? "" : ", ") + NodeInWords(node, present);
    }
    return text;
}

}  // namespace

std::vector<UsbPortNode> PresentUsbPortNodes() {
    UsbBus& bus = CurrentUsbBus();
    std::vector<UsbPortNode> lines;
    for (const SerialAdapter& adapter : PresentSerialAdapters()) {
        if (adapter.usb) lines.push_back({adapter.device, true, *adapter.usb});
    }
    std::vector<UsbPortNode> nodes;
    if (const auto devices = bus.PresentDevices()) {
        for (const UsbDeviceInfo& device : *devices) {
            if (device.devnode.empty()) continue;
            const UsbIdentity identity = IdentityOf(device);
            // Windows lists every USB device by an interface path, a serial adapter among
            // them: it is reached by its serial line.
            const bool adapter = std::any_of(
                lines.begin(), lines.end(),
                [&](const UsbPortNode& line) { return SameDevice(line.identity, identity); });
            if (!adapter) nodes.push_back({device.devnode, false, identity});
        }
    }
    nodes.insert(nodes.end(), lines.begin(), lines.end());
    return nodes;
}

UsbIdentityLookup LookUpUsbIdentity(std::string_view name, UsbNodeKind kind,
                                    const std::vector<UsbPortNode>& present) {
    UsbIdentityLookup lookup;
    const auto parsed = ParseUsbIdentityName(name, lookup.problem);
    if (!parsed) return lookup;
    for (const UsbPortNode& node : present) {
        if (!OfKind(node, kind)) continue;
        lookup.present.push_back(node);
        if (Matches(*parsed, node.identity)) lookup.matches.push_back(node);
    }
    return lookup;
}

UsbIdentityLookup LookUpUsbIdentity(std::string_view name, UsbNodeKind kind) {
    // A name that is not well formed needs no look at the devices.
    std::string problem;
    if (!ParseUsbIdentityName(name, problem)) return {problem, {}, {}};
    return LookUpUsbIdentity(name, kind, PresentUsbPortNodes());
}

std::string NodeInWords(const UsbPortNode& node, const std::vector<UsbPortNode>& present) {
    std::string name = IdentityNameOf(node, present);
    if (name.empty()) name = "(no serial number or path)";
    return name + " (" + UsbIdsText(node.identity) + ", " + node.node + ")";
}

std::string LookupFailureText(std::string_view name, const UsbIdentityLookup& lookup,
                              UsbNodeKind kind) {
    if (!lookup.problem.empty()) return lookup.problem;
    const std::string given(name);
    if (lookup.matches.empty()) {
        return given + " matches no " + KindWords(kind, false) + "; " +
               (lookup.present.empty() ? std::string("none is plugged in")
                                       : "present: " + Listed(lookup.present, lookup.present));
    }
    if (lookup.matches.size() == 1) return {};
    return given + " matches " + std::to_string(lookup.matches.size()) + " " +
           KindWords(kind, true) + ": " + Listed(lookup.matches, lookup.present) +
           "; give one of those names";
}

std::string UsbIdentityProblemOfPort(const std::string& portName) {
    std::string name = portName;
    UsbNodeKind kind = UsbNodeKind::Any;
    if (!IsUsbIdentityName(name)) {
        const bool serial = portName.rfind("COM", 0) == 0;
        if (!serial && portName.rfind("LPT", 0) != 0) return {};
        name = MappingOfPort(portName).device;
        if (!IsUsbIdentityName(name)) return {};
        kind = serial ? UsbNodeKind::SerialLine : UsbNodeKind::Printer;
    }
    return LookupFailureText(name, LookUpUsbIdentity(name, kind), kind);
}

}  // namespace talq::platform
