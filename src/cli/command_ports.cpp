// talq ports: what the connection dialog would offer, with the device each name reaches, and
// the USB printers and serial adapters by their identity names.
#include <algorithm>
#include <nlohmann/json.hpp>
#include <vector>

#include "cli/commands.h"
#include "cli/identity_ports.h"
#include "cli/port_access.h"
#include "cli/port_names.h"
#include "cli/usb_entries.h"
#include "platform/network_address.h"
#include "platform/port_mapping.h"
#include "platform/usb_identity.h"

namespace talq::cli {
namespace {

const char* KindWord(link::PortKind kind) {
    return kind == link::Serial ? "serial" : kind == link::Parallel ? "parallel" : "usb";
}

std::string StateWords(const PortAccess& access) {
    // Looking never connects: whether the server answers, only an open tells.
    if (access.usable && platform::IsNetworkAddress(access.devicePath)) return "device server";
    if (access.usable) return access.accessKnown ? "can be opened" : "present";
    if (access.absent) return "absent";
    std::string text = access.reason;
    if (access.denied) text += " (group " + access.group + ")";
    return text;
}

std::string SourceWords(const platform::PortMapping& mapping) {
    switch (mapping.source) {
        case platform::MappingSource::Environment:
            return "(environment " + mapping.variable + ")";
        case platform::MappingSource::File:
            return "(ports file " + mapping.file + ":" + std::to_string(mapping.line) + ")";
        case platform::MappingSource::Default:
            break;
    }
    return "(default)";
}

nlohmann::ordered_json SourceJson(const platform::PortMapping& mapping) {
    switch (mapping.source) {
        case platform::MappingSource::Environment:
            return {{"kind", "environment"}, {"variable", mapping.variable}};
        case platform::MappingSource::File:
            return {{"kind", "file"}, {"file", mapping.file}, {"line", mapping.line}};
        case platform::MappingSource::Default:
            break;
    }
    return {{"kind", "default"}};
}

nlohmann::ordered_json HardwareJson(platform::SerialHardware hardware) {
    if (hardware == platform::SerialHardware::Unknown) return nullptr;
    return hardware == platform::SerialHardware::Present;
}

nlohmann::ordered_json UsbJson(const platform::UsbPortNode* node) {
    if (node == nullptr) return nullptr;
    const platform::UsbIdentity& id = node->identity;
    const std::string ids = platform::UsbIdsText(id);
    const auto text = [](const std::string& value) {
        return value.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(value);
    };
    return {{"vendorId", ids.substr(0, 4)},
            {"productId", ids.substr(5)},
            {"serialNumber", text(id.serialNumber)},
            {"path", text(id.busPath)},
            {"interface", id.interfaceNumber >= 0 ? nlohmann::ordered_json(id.interfaceNumber)
                                                  : nlohmann::ordered_json(nullptr)}};
}

}  // namespace

int RunPorts(const Console& console, bool json) {
    std::vector<std::string> names = FixedPortNames();
    const std::vector<std::string> usb = UsbEntries(console.quiet);
    names.insert(names.end(), usb.begin(), usb.end());
    const PresentUsbPorts present;
    // The serial adapters that no port reaches are ports of their own, by identity.
    std::vector<const platform::UsbPortNode*> reached;
    for (const std::string& name : names) reached.push_back(present.Behind(DevicePathOf(name)));
    for (const platform::UsbPortNode& node : present.nodes) {
        const bool named = std::find(reached.begin(), reached.end(), &node) != reached.end();
        const std::string identity = present.NameOf(&node);
        if (node.serialLine && !named && !identity.empty()) names.push_back(identity);
    }

    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    std::vector<std::vector<std::string>> rows;
    for (const std::string& name : names) {
        const PortAccess access = ExaminePortAccess(name);
        const bool byIdentity = platform::IsUsbIdentityName(name);
        const link::PortKind kind = byIdentity ? link::Serial : *PortKindOfName(name);
        const bool fixed = kind != link::Usb && !byIdentity;
        const platform::PortMapping mapping =
            fixed ? platform::MappingOfPort(name) : platform::PortMapping{};
        const platform::UsbPortNode* node = present.Behind(access.devicePath);
        // A port mapped by identity shows the name it is mapped by.
        std::string identity =
            platform::IsUsbIdentityName(mapping.device) ? mapping.device : present.NameOf(node);
        if (byIdentity) identity = name;
        if (json) {
            nlohmann::ordered_json entry = {{"name", name},
                                            {"interface", KindWord(kind)},
                                            {"device", access.devicePath},
                                            {"exists", access.exists},
                                            {"usable", access.usable}};
            entry["group"] = access.exists ? nlohmann::ordered_json(access.group) : nullptr;
            if (kind == link::Usb) entry["modelGroup"] = name.substr(0, name.find(':'));
            entry["reason"] = access.usable ? nlohmann::ordered_json(nullptr)
                                            : nlohmann::ordered_json(access.reason);
            entry["source"] = fixed ? SourceJson(mapping) : nullptr;
            entry["serialHardware"] =
                kind == link::Serial && access.exists ? HardwareJson(access.hardware) : nullptr;
            entry["identity"] = identity.empty() ? nlohmann::ordered_json(nullptr)
                                                 : nlohmann::ordered_json(identity);
            entry["usb"] = UsbJson(node);
            list.push_back(std::move(entry));
        } else {
            rows.push_back({name, KindWord(kind), access.devicePath, StateWords(access),
                            fixed ? SourceWords(mapping) : "", byIdentity ? "" : identity});
        }
    }
    // Columns padded to their widest entry, so that COM10 does not shift its line.
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(row.size());
        for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size()) line += std::string(widths[i] - row[i].size() + 2, ' ');
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        console.out << line << "\n";
    }
    if (json)
        console.out << list.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                    << "\n";
    console.out.flush();
    return kExitDone;
}

}  // namespace talq::cli
