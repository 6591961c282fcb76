// talq get: Check Communication, then Get Status; the result printed and optionally saved, to
// a file or, one file per printer, to a folder.
#include <algorithm>

#include "cli/commands.h"
#include "cli/fleet_backup.h"
#include "cli/json_parts.h"
#include "cli/models.h"
#include "cli/status_files.h"
#include "cli/status_json.h"
#include "cli/status_text.h"

namespace talq::cli {
namespace {

// With JSON output a port that fails still gives a document, so that a script's parse of the
// output does not fail where the port did: the port, the exit code and the error.
PortOutcome Failed(const Console& port, const PortTarget& target, int model,
                   const GetOptions& options, const Failure& failure) {
    PortOutcome outcome = Report(port, failure);
    if (options.json) {
        Json document;
        document["format"] = kStatusJsonFormat;
        document["port"] = target.name;
        document["model"] = std::string(ModelName(model));
        document["exitCode"] = outcome.exitCode;
        document["error"] = failure.message;
        outcome.json = JsonText(document);
    }
    return outcome;
}

// One port's Get Status: the result printed, or kept as the port's JSON document.
PortOutcome GetOne(const PortTarget& target, const Console& port, int model,
                   const GetOptions& options, FleetBackup* backup) {
    const auto fail = [&](const Failure& failure) {
        if (backup != nullptr) backup->Failed(target, failure);
        return Failed(port, target, model, options, failure);
    };
    PortSession session(port, target, model);
    if (auto failed = session.Connect()) return fail(*failed);
    status::PrinterStatus record{};
    status::PrinterInfo info;
    const auto result = status::GetStatus(session.Connection(), record, info, session.Sink());
    session.Sink().ClearBar();
    if (auto failed = session.FailureOf(result, "Get Status")) return fail(*failed);
    PortOutcome outcome{kExitDone, "done"};
    if (options.json) {
        outcome.json = StatusJson(record, model, &info, target.name);
    } else {
        port.out << "Port: " << target.name << "\n";
        PrintStatus(port.out, record, model, &info);
    }
    Failure written;
    if (backup != nullptr) {
        const auto file = backup->Save(target, record, info, written);
        if (!file) return Report(port, written);
        port.Message("saved " + *file);
    } else if (!options.output.empty() &&
               !WriteStatusOutput(options.output, record, model, &info, written)) {
        return Report(port, written);
    }
    return outcome;
}

}  // namespace

int RunGet(const Console& console, const ConnectionOptions& connection, const GetOptions& options) {
    Failure failure;
    const auto targets = ResolveTargets(connection, failure);
    if (!targets) return Report(console, failure).exitCode;
    const bool toFolder = !options.output.empty() && IsOutputFolder(options.output);
    if (!options.output.empty() && !toFolder) {
        if (const std::string error = CheckOutputName(options.output); !error.empty()) {
            return Report(console, {kExitUsage, error}).exitCode;
        }
        if (targets->several) {
            return Report(console, {kExitUsage,
                                    "-o FILE takes one port: each would overwrite the last (-o "
                                    "FOLDER/ saves one file per printer)"})
                .exitCode;
        }
    }
    const int model = targets->model;
    std::optional<FleetBackup> backup;
    if (toFolder) {
        backup = FleetBackup::Start(options.output, targets->ports, model, failure);
        if (!backup) return Report(console, failure).exitCode;
    }
    FleetBackup* folder = backup ? &*backup : nullptr;
    int code = RunOnPorts(console, *targets, options.json,
                          [&](const PortTarget& target, const Console& port) {
                              return GetOne(target, port, model, options, folder);
                          });
    if (backup) {
        // The index tells which printer is in which file, and which could not be read.
        if (const auto index = backup->WriteIndex(failure)) {
            console.Message("index: " + *index);
        } else {
            code = std::max(code, Report(console, failure).exitCode);
        }
    }
    return code;
}

}  // namespace talq::cli
