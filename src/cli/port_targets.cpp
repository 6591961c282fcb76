#include "cli/port_targets.h"

#include <algorithm>

#include "cli/port_names.h"
#include "cli/saved_line_settings.h"
#include "cli/usb_entries.h"
#include "platform/network_address.h"
#include "platform/usb_identity.h"

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

namespace {

// The kind a port name gives before it is opened. A USB identity name's is known only once its
// device is looked up (a printer or a serial adapter); until then it counts as USB, or as
// serial for the KTV-520plusF, which looks among the serial adapters only.
std::optional<link::PortKind> KindBeforeOpen(const std::string& name, int model) {
    if (name == kAllUsbPorts) return link::Usb;
    if (platform::IsUsbIdentityName(name)) return model == 2 ? link::Serial : link::Usb;
    return PortKindOfName(name);
}

// A --port word and the line words for it; false with the usage failure.
bool CheckPortName(const std::string& name, int model, const LineWords& line, Failure& failure) {
    const auto kind = KindBeforeOpen(name, model);
    if (auto problem = platform::IsNetworkAddress(name) ? platform::ProblemWithNetworkAddress(name)
                                                        : std::nullopt) {
        failure = {kExitUsage, "--port " + *problem};
        return false;
    }
    if (std::string problem;
        platform::IsUsbIdentityName(name) && !platform::ParseUsbIdentityName(name, problem)) {
        failure = {kExitUsage, "--port " + problem};
        return false;
    }
    if (!kind) {
        failure = {kExitUsage, "--port \"" + name +
                                   "\": unknown port (COM1..COM10, LPT1..LPT3, a USB entry "
                                   "or usb:serial=... name that `talq ports` lists, usb for all "
                                   "USB entries, or a device server's rfc2217:HOST:PORT or "
                                   "tcp:HOST:PORT)"};
        return false;
    }
    if (model == 2 && *kind != link::Serial) {
        failure = {kExitUsage, "--port \"" + name +
                                   "\": the KTV-520plusF connects only over SERIAL (COM1..COM10)"};
        return false;
    }
    std::optional<SavedLine> saved;
    const LineWords words = LineWordsFor(name, line, &saved);
    if (SettingsOrError built = BuildPortSettings(name, model, words); !built.settings) {
        failure = {kExitUsage, !saved ? built.error
                                      : saved->file + ":" + std::to_string(saved->line) + ": " +
                                            name + "'s line settings: " + built.error +
                                            "; give the line options to use others"};
        return false;
    }
    return true;
}

// The names with "usb" replaced by discovery's entries; nullopt when it finds none.
std::optional<std::vector<std::string>> ExpandUsb(const std::vector<std::string>& given,
                                                  Failure& failure) {
    std::vector<std::string> usb;
    if (std::find(given.begin(), given.end(), kAllUsbPorts) != given.end()) {
        usb = UsbEntries(true);
        if (usb.empty()) {
            failure = {kExitPortFailed,
                       "--port usb: no USB printer found: " + NoUsbEntriesReason()};
            return std::nullopt;
        }
    }
    std::vector<std::string> names;
    for (const std::string& name : given) {
        if (name == kAllUsbPorts) {
            names.insert(names.end(), usb.begin(), usb.end());
        } else {
            names.push_back(name);
        }
    }
    return names;
}

}  // namespace

std::optional<ResolvedTargets> ResolveTargets(const ConnectionOptions& options, Failure& failure) {
    ResolvedTargets targets;
    const auto model = ResolveModel(options.model, failure);
    if (!model) return std::nullopt;
    targets.model = *model;
    targets.jobs = options.jobs;
    // Every name and word first: bad input touches no port, not even by discovery.
    for (const std::string& name : options.ports) {
        if (!CheckPortName(name, *model, options.line, failure)) return std::nullopt;
    }
    const auto names = ExpandUsb(options.ports, failure);
    if (!names) return std::nullopt;
    // A port named twice runs once: two runs at once on one device would lock each other out.
    for (const std::string& name : *names) {
        const bool seen = std::any_of(targets.ports.begin(), targets.ports.end(),
                                      [&](const PortTarget& port) { return port.name == name; });
        if (seen) continue;
        targets.ports.push_back(
            {name, *KindBeforeOpen(name, *model),
             *BuildPortSettings(name, *model, LineWordsFor(name, options.line)).settings});
    }
    const bool allUsb =
        std::find(options.ports.begin(), options.ports.end(), kAllUsbPorts) != options.ports.end();
    targets.several = targets.ports.size() > 1 || allUsb;
    return targets;
}

PortOutcome Report(const Console& console, const Failure& failure) {
    console.Error(failure.message);
    return {failure.exitCode, failure.message};
}

}  // namespace talq::cli
