// talq ports: what the connection dialog would offer, with the device each name reaches.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/port_access.h"
#include "cli/port_names.h"
#include "link/usb_discovery.h"
#include "platform/port_mapping.h"

namespace talq::cli {
namespace {

// USB discovery writes its diagnostic lines to standard output; while it runs they go to
// standard error (or nowhere when quiet), so the port list on standard output stays clean.
class DiagnosticsAside {
  public:
    explicit DiagnosticsAside(bool quiet) {
        std::fflush(stdout);
        saved_ = ::dup(STDOUT_FILENO);
        const int target = quiet ? ::open("/dev/null", O_WRONLY | O_CLOEXEC) : STDERR_FILENO;
        if (saved_ >= 0 && target >= 0) ::dup2(target, STDOUT_FILENO);
        if (quiet && target >= 0) ::close(target);
    }
    ~DiagnosticsAside() {
        std::fflush(stdout);
        if (saved_ < 0) return;
        ::dup2(saved_, STDOUT_FILENO);
        ::close(saved_);
    }
    DiagnosticsAside(const DiagnosticsAside&) = delete;
    DiagnosticsAside& operator=(const DiagnosticsAside&) = delete;

  private:
    int saved_ = -1;
};

std::vector<std::string> UsbEntries(bool quiet) {
    DiagnosticsAside aside(quiet);
    link::PortList list;
    link::FindUsbPrinters(list);
    return list.entries();
}

const char* KindWord(link::PortKind kind) {
    return kind == link::Serial ? "serial" : kind == link::Parallel ? "parallel" : "usb";
}

std::string StateWords(const PortAccess& access) {
    if (access.usable) return "can be opened";
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

}  // namespace

int RunPorts(const Console& console, bool json) {
    std::vector<std::string> names = FixedPortNames();
    const std::vector<std::string> usb = UsbEntries(console.quiet);
    names.insert(names.end(), usb.begin(), usb.end());

    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const std::string& name : names) {
        const PortAccess access = ExaminePortAccess(name);
        const link::PortKind kind = *PortKindOfName(name);
        const bool fixed = kind != link::Usb;
        const platform::PortMapping mapping =
            fixed ? platform::MappingOfPort(name) : platform::PortMapping{};
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
            list.push_back(std::move(entry));
        } else {
            console.out << name << "  " << KindWord(kind) << "  " << access.devicePath << "  "
                        << StateWords(access);
            if (fixed) console.out << "  " << SourceWords(mapping);
            console.out << "\n";
        }
    }
    if (json)
        console.out << list.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                    << "\n";
    console.out.flush();
    return kExitDone;
}

}  // namespace talq::cli
