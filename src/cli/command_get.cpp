// talq get: Check Communication, then Get Status; the result printed and optionally saved.
#include "cli/commands.h"
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
                   const GetOptions& options) {
    const auto fail = [&](const Failure& failure) {
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
    if (!options.output.empty() &&
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
    if (!options.output.empty()) {
        if (const std::string error = CheckOutputName(options.output); !error.empty()) {
            return Report(console, {kExitUsage, error}).exitCode;
        }
        if (targets->several) {
            return Report(console, {kExitUsage, "-o takes one port: each would overwrite the last"})
                .exitCode;
        }
    }
    const int model = targets->model;
    return RunOnPorts(console, *targets, options.json,
                      [&](const PortTarget& target, const Console& port) {
                          return GetOne(target, port, model, options);
                      });
}

}  // namespace talq::cli
