// talq get: Check Communication, then Get Status; the result printed and optionally saved.
#include <sstream>

#include "cli/commands.h"
#include "cli/json_parts.h"
#include "cli/status_files.h"
#include "cli/status_json.h"
#include "cli/status_text.h"

namespace talq::cli {

int RunGet(const Console& console, const ConnectionOptions& connection, const GetOptions& options) {
    Failure failure;
    const auto targets = ResolveTargets(connection, failure);
    if (!targets) return Report(console, failure).exitCode;
    if (!options.output.empty()) {
        if (const std::string error = CheckOutputName(options.output); !error.empty()) {
            return Report(console, {kExitUsage, error}).exitCode;
        }
        if (targets->ports.size() > 1) {
            return Report(console, {kExitUsage, "-o takes one port: each would overwrite the last"})
                .exitCode;
        }
    }
    const int model = targets->model;
    std::vector<std::string> documents;
    const int worst = RunOnPorts(console, *targets, options.json, [&](const PortTarget& target) {
        PortSession session(console, target, model);
        if (auto failed = session.Connect()) return Report(console, *failed);
        status::PrinterStatus record{};
        status::PrinterInfo info;
        const auto result = status::GetStatus(session.Connection(), record, info, session.Sink());
        session.Sink().ClearBar();
        if (auto failed = session.FailureOf(result, "Get Status")) return Report(console, *failed);
        if (options.json) {
            documents.push_back(StatusJson(record, model, &info, target.name));
        } else {
            console.out << "Port: " << target.name << "\n";
            PrintStatus(console.out, record, model, &info);
        }
        Failure written;
        if (!options.output.empty() &&
            !WriteStatusOutput(options.output, record, model, &info, written)) {
            return Report(console, written);
        }
        return PortOutcome{kExitDone, "done"};
    });
    // Several ports give one JSON array, so the output stays one document.
    console.out << JsonDocuments(documents, targets->ports.size() > 1 && options.json);
    console.out.flush();
    return worst;
}

}  // namespace talq::cli
