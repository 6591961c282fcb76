// talq set: learn the printer's switches, apply a file and the edits, and write only when
// something the printer would receive changes; optionally read back what it kept.
#include "cli/commands.h"
#include "cli/interrupts.h"
#include "cli/status_diff.h"
#include "cli/status_edits.h"
#include "cli/status_files.h"

namespace talq::cli {
namespace {

// The record Set Status will send: the file (or the printer's values), then the edits. Pins
// Set Status does not send keep the printer's values, so what is shown is what stays.
status::PrinterStatus Target(const status::PrinterStatus& printer,
                             const std::optional<StatusDocument>& file, const StatusEdits& edits) {
    status::PrinterStatus target = file ? file->status : printer;
    for (int slot = 0; slot < status::kSlotCount; ++slot) {
        for (int pin = 0; pin < status::kIntegersPerSwitch; ++pin) {
            if (IsSentPin(slot, pin)) continue;
            const auto s = static_cast<std::size_t>(slot), p = static_cast<std::size_t>(pin);
            target.switches[s].pins[p] = printer.switches[s].pins[p];
        }
    }
    ApplyStatusEdits(target, edits);
    return target;
}

struct SetInput {
    std::optional<StatusDocument> file;
    StatusEdits edits;
};

std::optional<SetInput> ReadSetInput(const SetOptions& options, int model, Failure& failure) {
    SetInput input;
    if (!options.file.empty()) {
        input.file = ReadStatusInput(options.file, failure);
        if (!input.file) return std::nullopt;
        if (input.file->model && *input.file->model != model) {
            failure = {kExitUsage, options.file + ": written for the " +
                                       std::string(ModelName(*input.file->model)) + ", not the " +
                                       std::string(ModelName(model))};
            return std::nullopt;
        }
    }
    std::string error;
    const auto edits = ParseStatusEdits(options.pins, options.codePage, error);
    if (!edits) {
        failure = {kExitUsage, error};
        return std::nullopt;
    }
    input.edits = *edits;
    return input;
}

}  // namespace

int RunSet(const Console& console, const ConnectionOptions& connection, const SetOptions& options) {
    Failure failure;
    const auto targets = ResolveTargets(connection, failure);
    if (!targets) return Report(console, failure).exitCode;
    const int model = targets->model;
    const auto input = ReadSetInput(options, model, failure);
    if (!input) return Report(console, failure).exitCode;

    // Each port writes to its own console.
    return RunOnPorts(console, *targets, false, [&](const PortTarget& port, auto& console) {
        PortSession session(console, port, model);
        if (auto failed = session.Connect()) return Report(console, *failed);
        status::PrinterStatus printer{};
        status::PrinterInfo info;
        auto result = status::GetStatus(session.Connection(), printer, info, session.Sink());
        if (auto failed = session.FailureOf(result, "Get Status")) return Report(console, *failed);

        const status::PrinterStatus target = Target(printer, input->file, input->edits);
        const auto changes = SentDifferences(printer, target);
        if (changes.empty()) {
            console.out << port.name << ": unchanged" << std::endl;
            return PortOutcome{kExitDone, "unchanged"};
        }
        console.out << port.name << ":\n";
        PrintChanges(console.out, changes, model);
        if (options.dryRun) return PortOutcome{kExitDone, "would change, dry run"};
        if (InterruptRequested()) {
            return Report(console,
                          {kExitInterrupted, port.name + ": interrupted: nothing was set"});
        }

        result = status::SetStatus(session.Connection(), target, info, session.Sink());
        if (auto failed = session.FailureOf(result, "Set Status")) return Report(console, *failed);
        if (!options.verify) return PortOutcome{kExitDone, "done"};

        status::PrinterStatus readBack{};
        result = status::GetStatus(session.Connection(), readBack, info, session.Sink());
        if (auto failed = session.FailureOf(result, "Get Status")) return Report(console, *failed);
        if (const auto kept = SentDifferences(target, readBack); !kept.empty()) {
            console.Error(port.name +
                          ": verify failed: the printer reads back other values "
                          "than were sent (sent -> read):");
            PrintChanges(console.err, kept, model);
            return PortOutcome{kExitVerifyMismatch, "verify failed"};
        }
        return PortOutcome{kExitDone, "done, verified"};
    });
}

}  // namespace talq::cli
