// talq find: which printer is on which port, at which line settings. Every port searched at
// once, each with setup::FindPrinter; what it found printed per port and, with --save, kept.
#include <algorithm>
#include <map>
#include <mutex>

#include "cli/commands.h"
#include "cli/interrupts.h"
#include "cli/json_parts.h"
#include "cli/port_access.h"
#include "cli/port_names.h"
#include "cli/saved_line_settings.h"
#include "cli/usb_entries.h"
#include "link/connection_choices.h"
#include "platform/ports_file.h"
#include "setup/find_printer.h"

namespace talq::cli {
namespace {

constexpr const char* kFindJsonFormat = "talq-find/1";

// What one port's search found, for the exit code and --save.
struct PortFind {
    setup::FindOutcome outcome = setup::FindOutcome::NothingAnswered;
    std::optional<link::PortSettings> line;  // a COM port's printer: what it answered at
};

struct Search {
    int model = -1;  // -1: any
    setup::FixedLine fixed;
    bool thorough = false;
    bool json = false;
    bool several = false;
    std::mutex mutex;
    std::map<std::string, PortFind> found;  // by port name
};

// "--baud 9600 --data-bits 8 --parity Even --stop-bits 1 --flow Hardware"
std::string LineOptions(const std::vector<std::string>& w) {
    return "--baud " + w[0] + " --data-bits " + w[1] + " --parity " + w[2] + " --stop-bits " +
           w[3] + " --flow " + w[4];
}

std::string Seconds(int ms) {
    return std::to_string((ms + 999) / 1000) + " s";
}

Json FindJson(const std::string& port, const char* result, const setup::FindResult& found,
              const std::optional<link::PortSettings>& line, int exitCode,
              const std::string& error) {
    Json document;
    document["format"] = kFindJsonFormat;
    document["port"] = port;
    document["result"] = result;
    const bool identified = found.outcome == setup::FindOutcome::Found;
    document["model"] = identified ? Json(std::string(ModelName(found.model))) : Json(nullptr);
    document["printer"] = identified ? Json{{"firmwareVersion", found.info.firmwareVersion},
                                            {"modelName", found.info.modelName}}
                                     : Json(nullptr);
    if (line) {
        const auto w = LineSettingsWords(*line);
        document["lineSettings"] = {{"baud", w[0]},
                                    {"dataBits", w[1]},
                                    {"parity", w[2]},
                                    {"stopBits", w[3]},
                                    {"flow", w[4]}};
    } else {
        document["lineSettings"] = nullptr;
    }
    document["tries"] = found.tries;
    document["exitCode"] = exitCode;
    if (!error.empty()) document["error"] = error;
    return document;
}

PortOutcome FindOne(const PortTarget& target, const Console& console, Search& search) {
    setup::FindRequest request;
    request.portName = target.name;
    request.kind = target.kind;
    request.model = search.model;
    if (target.kind == link::Serial) request.lines = setup::SearchOrder(search.model, search.fixed);
    request.flowFixed = search.fixed.flowControl.has_value();
    request.thorough = search.thorough;
    request.stopRequested = [] { return InterruptRequested(); };
    const int planned = target.kind == link::Serial ? static_cast<int>(request.lines.size()) : 1;
    const std::string bound = "; given up after " +
                              Seconds(planned * setup::SilentTryMs(target.kind, search.thorough)) +
                              " if nothing answers";
    ConsoleSink bar(console);
    request.onTry = [&](int number, int total, const platform::LineSettings*) {
        // Said once the port has opened: a port that cannot be is told so instead.
        if (number == 1) {
            bar.ShowMessage(target.kind == link::Serial
                                ? "trying " + std::to_string(planned) + " line settings" + bound
                                : "asking for the printer's identification" + bound,
                            status::MessageIcon::None);
        }
        bar.SetProgress(std::min(100, (number - 1) * 100 / std::max(total, 1)));
    };

    link::PrinterPort port;
    setup::QueuePorts queues;
    const setup::FindResult found = setup::FindPrinter(port, queues, request);
    port.Close();
    setup::RestoreSpoolerQueues(queues);
    bar.ClearBar();

    std::optional<link::PortSettings> line;
    if (found.line) line = RecordOf(target.name, *found.line);
    const std::string at = line ? " at " + JoinedWords(LineSettingsWords(*line)) : "";
    std::string text, error;
    const char* result = "";
    int code = kExitDone;
    switch (found.outcome) {
        case setup::FindOutcome::Found:
            result = "found";
            text = target.name + ": found " + std::string(ModelName(found.model)) + " (\"" +
                   found.info.modelName + "\", firmware \"" + found.info.firmwareVersion + "\")" +
                   at;
            if (line) text += "; reach it with " + LineOptions(LineSettingsWords(*line));
            break;
        case setup::FindOutcome::OtherPrinter:
            result = "other printer";
            code = kExitNotIdentified;
            text = error = target.name + ": a printer answered" + at +
                           ", with another maker's name: not one of the KTV printers";
            break;
        case setup::FindOutcome::NothingAnswered:
            result = "nothing";
            code = kExitNotIdentified;
            text = error =
                target.name + ": nothing answered (" +
                (target.kind == link::Serial
                     ? std::to_string(found.settingsTried) + " line settings tried"
                     : std::string("asked once")) +
                (found.refused > 0
                     ? ", " + std::to_string(found.refused) + " the system refused for the device"
                     : "") +
                (found.heardBytes ? "; bytes came back that identified no printer" : "") +
                (target.kind == link::Serial && !search.thorough && found.settingsTried > 0
                     ? "; --thorough waits longer for a printer slow to answer"
                     : "") +
                ")";
            break;
        case setup::FindOutcome::CannotOpen:
            result = "cannot open";
            code = kExitPortFailed;
            text = error = found.systemConsole ? target.name + ": " + DevicePathOf(target.name) +
                                                     " is the system's console: left alone"
                                               : ExplainOpenFailure(target.name);
            break;
        case setup::FindOutcome::Interrupted:
            result = "interrupted";
            code = kExitInterrupted;
            text = error = target.name + ": interrupted after " + std::to_string(found.tries) +
                           (found.tries == 1 ? " try" : " tries");
            break;
    }
    {
        std::lock_guard lock(search.mutex);
        search.found[target.name] = {found.outcome, line};
    }
    PortOutcome outcome{code, text};
    if (search.json) {
        outcome.json = JsonText(FindJson(target.name, result, found, line, code, error));
    } else if (!search.several) {
        console.out << text << std::endl;  // with several ports the summary line says it
    }
    return outcome;
}

// The ports to search: the given ones ("usb" standing for every USB printer), or every one the
// connection dialog offers the model; each once, in order.
std::optional<ResolvedTargets> FindTargets(const FindOptions& options, int model,
                                           Failure& failure) {
    std::vector<std::string> names = options.connection.ports;
    const bool all = names.empty();
    if (all) {
        names = model == 2 ? link::ComPortNames() : FixedPortNames();
        if (model != 2) names.push_back(kAllUsbPorts);
    }
    ResolvedTargets targets;
    targets.model = model;
    targets.jobs = options.connection.jobs;
    for (const std::string& name : names) {
        std::vector<std::string> expanded{name};
        if (name == kAllUsbPorts) {
            expanded = UsbEntries(true);
            if (expanded.empty() && !all) {
                failure = {kExitPortFailed,
                           "--port usb: no USB printer found: " + NoUsbEntriesReason()};
                return std::nullopt;
            }
        }
        for (const std::string& each : expanded) {
            const auto kind = PortKindOfName(each);
            if (!kind) {
                failure = {kExitUsage, "--port \"" + each +
                                           "\": unknown port (COM1..COM10, LPT1..LPT3, a USB "
                                           "entry that `talq ports` lists, or usb for all of "
                                           "those)"};
                return std::nullopt;
            }
            if (model == 2 && *kind != link::Serial) {
                failure = {kExitUsage, "--port \"" + each +
                                           "\": the KTV-520plusF connects only over SERIAL "
                                           "(COM1..COM10)"};
                return std::nullopt;
            }
            const bool seen = std::any_of(targets.ports.begin(), targets.ports.end(),
                                          [&](const PortTarget& p) { return p.name == each; });
            if (!seen) targets.ports.push_back({each, *kind, {}});
        }
    }
    targets.several = targets.ports.size() > 1 ||
                      std::find(names.begin(), names.end(), kAllUsbPorts) != names.end();
    return targets;
}

// The line words given fix their settings; checked against the model's lists (any model: the
// longest).
std::optional<setup::FixedLine> FixedLineOf(const LineWords& words, int model, Failure& failure) {
    const SettingsOrError built = BuildPortSettings("COM1", model < 0 ? 0 : model, words);
    if (!built.settings) {
        failure = {kExitUsage, built.error};
        return std::nullopt;
    }
    setup::FixedLine fixed;
    if (!words.baud.empty()) fixed.baudRate = built.settings->baudRate;
    if (!words.dataBits.empty()) fixed.dataBits = built.settings->dataBits;
    if (!words.stopBits.empty()) fixed.stopBits = built.settings->stopBits;
    if (!words.parity.empty()) fixed.parity = built.settings->parity;
    if (!words.flow.empty()) fixed.flowControl = built.settings->flowControl;
    return fixed;
}

// Keeps the line settings of every COM port's printer in the user's ports file.
int Save(const Console& console, const Search& search) {
    std::vector<std::pair<std::string, std::vector<std::string>>> kept;
    for (const auto& [name, port] : search.found) {
        if (port.outcome == setup::FindOutcome::Found && port.line) {
            kept.emplace_back(name, LineSettingsWords(*port.line));
        }
    }
    if (kept.empty()) {
        console.Message("--save: no printer on a COM port was found, so nothing was saved");
        return kExitDone;
    }
    // With JSON on stdout, what the edit says goes to stderr.
    const Console saying{search.json ? console.err : console.out, console.err, console.quiet};
    return EditUserPortsFile(saying, [&](const std::string& text) {
        std::string edited = text;
        for (const auto& [name, words] : kept) {
            edited = platform::WithPortLineSettings(edited, name, words);
        }
        return edited;
    });
}

}  // namespace

int RunFind(const Console& console, const FindOptions& options) {
    Failure failure;
    Search search;
    if (!options.connection.model.empty()) {
        const auto model = ResolveModel(options.connection.model, failure);
        if (!model) return Report(console, failure).exitCode;
        search.model = *model;
    }
    const auto fixed = FixedLineOf(options.connection.line, search.model, failure);
    if (!fixed) return Report(console, failure).exitCode;
    search.fixed = *fixed;
    search.thorough = options.thorough;
    const auto targets = FindTargets(options, search.model, failure);
    if (!targets) return Report(console, failure).exitCode;
    search.json = options.json;
    search.several = targets->several;

    const int worst = RunOnPorts(console, *targets, options.json,
                                 [&](const PortTarget& target, const Console& port) {
                                     return FindOne(target, port, search);
                                 });
    const bool anyFound = std::any_of(
        search.found.begin(), search.found.end(),
        [](const auto& entry) { return entry.second.outcome == setup::FindOutcome::Found; });
    int code = worst == kExitInterrupted || !anyFound ? worst : kExitDone;
    if (options.save) code = std::max(code, Save(console, search));
    return code;
}

}  // namespace talq::cli
