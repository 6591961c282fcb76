// talq ports: what the connection dialog would offer, with the device each name reaches.
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/port_access.h"
#include "cli/port_names.h"
#include "cli/usb_entries.h"

namespace talq::cli {
namespace {

const char* KindWord(link::PortKind kind) {
    return kind == link::Serial ? "serial" : kind == link::Parallel ? "parallel" : "usb";
}

std::string StateWords(const PortAccess& access) {
    if (access.usable) return "can be opened";
    std::string text = access.reason;
    if (access.denied) text += " (group " + access.group + ")";
    return text;
}

}  // namespace

int RunPorts(const Console& console, bool json) {
    std::vector<std::string> names = FixedPortNames();
    const std::vector<std::string> usb = UsbEntries(console.quiet);
    names.insert(names.end(), usb.begin(), usb.end());

    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const std::string& name : names) {
        const PortAccess access = ExaminePortAccess(name);
        const link::PortKind kind = *PortKindOfName(name);
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
            list.push_back(std::move(entry));
        } else {
            console.out << name << "  " << KindWord(kind) << "  " << access.devicePath << "  "
                        << StateWords(access) << "\n";
        }
    }
    if (json)
        console.out << list.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                    << "\n";
    console.out.flush();
    return kExitDone;
}

}  // namespace talq::cli
