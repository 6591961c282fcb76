#include "cli/port_targets.h"

#include <algorithm>

#include "cli/port_names.h"
#include "cli/usb_entries.h"

namespace talq::cli {

std::optional<int> ResolveModel(const std::string& text, Failure& failure) {
    const auto model = ParseModel(text);
    if (!model) {
        failure = {kExitUsage, "--model \"" + text +
                                   "\": unknown model (KTV-520plus, KTV-540/542, KTV-520plusF, "
                                   "or 0, 1, 2)"};
    }
    return model;
}

std::optional<ResolvedTargets> ResolveTargets(const ConnectionOptions& options, Failure& failure) {
    ResolvedTargets targets;
    const auto model = ResolveModel(options.model, failure);
    if (!model) return std::nullopt;
    targets.model = *model;
    targets.jobs = options.jobs;
    // Every name and word first: bad input touches no port, not even by discovery.
    bool allUsb = false;
    for (const std::string& name : options.ports) {
        allUsb = allUsb || name == kAllUsbPorts;
        const auto kind = name == kAllUsbPorts ? link::Usb : PortKindOfName(name);
        if (!kind) {
            failure = {kExitUsage, "--port \"" + name +
                                       "\": unknown port (COM1..COM10, LPT1..LPT3, a USB entry "
                                       "that `talq ports` lists, or usb for all of those)"};
            return std::nullopt;
        }
        if (*model == 2 && *kind != link::Serial) {
            failure = {kExitUsage, "--port \"" + name +
                                       "\": the KTV-520plusF connects only over "
                                       "SERIAL (COM1..COM10)"};
            return std::nullopt;
        }
        if (SettingsOrError built = BuildPortSettings(name, *model, options.line);
            !built.settings) {
            failure = {kExitUsage, built.error};
            return std::nullopt;
        }
    }
    std::vector<std::string> usb;
    if (allUsb) {
        usb = UsbEntries(true);
        if (usb.empty()) {
            failure = {kExitPortFailed,
                       "--port usb: no USB printer found: " + NoUsbEntriesReason()};
            return std::nullopt;
        }
    }
    std::vector<std::string> names;
    for (const std::string& name : options.ports) {
        if (name == kAllUsbPorts) {
            names.insert(names.end(), usb.begin(), usb.end());
        } else {
            names.push_back(name);
        }
    }
    // A port named twice runs once: two runs at once on one device would lock each other out.
    for (const std::string& name : names) {
        const bool seen = std::any_of(targets.ports.begin(), targets.ports.end(),
                                      [&](const PortTarget& port) { return port.name == name; });
        if (seen) continue;
        const auto kind = PortKindOfName(name);
        targets.ports.push_back(
            {name, *kind, *BuildPortSettings(name, *model, options.line).settings});
    }
    targets.several = targets.ports.size() > 1 || allUsb;
    return targets;
}

PortOutcome Report(const Console& console, const Failure& failure) {
    console.Error(failure.message);
    return {failure.exitCode, failure.message};
}

}  // namespace talq::cli
