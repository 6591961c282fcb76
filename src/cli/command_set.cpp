// talq set: learn the printer's switches, apply a file and the edits, and write only when
// something the printer would receive changes; optionally read back what it kept.
#include "cli/commands.h"
#include "cli/decoded_settings.h"
#include "cli/follow_line.h"
#include "cli/interrupts.h"
#include "cli/json_parts.h"
#include "cli/send_and_follow.h"
#include "cli/set_json.h"
#include "cli/status_diff.h"
#include "cli/status_edits.h"
#include "cli/status_files.h"
#include "cli/status_target.h"

namespace talq::cli {
namespace {

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
    const auto edits = ParseStatusEdits(options.edits, model, error);
    if (!edits) {
        failure = {kExitUsage, error};
        return std::nullopt;
    }
    input.edits = *edits;
    return input;
}

// One port's run; `report` records how far it got.
class SetRun {
  public:
    SetRun(const Console& console, const PortTarget& port, int model, const SetInput& input,
           const SetOptions& options, SetReport& report)
        : console_(console),
          port_(port),
          model_(model),
          input_(input),
          options_(options),
          report_(report) {
        report_.port = port.name;
        report_.model = model;
        report_.dryRun = options.dryRun;
    }

    PortOutcome Run() {
        PortSession session(console_, port_, model_);
        if (auto failed = session.Connect()) return Fail(*failed);
        status::PrinterStatus printer{};
        status::PrinterInfo info;
        const auto result = status::GetStatus(session.Connection(), printer, info, session.Sink());
        if (auto failed = session.FailureOf(result, "Get Status")) return Fail(*failed);

        const status::PrinterStatus target = SentTarget(
            printer, input_.file ? std::optional(input_.file->status) : std::nullopt, input_.edits);
        report_.printer = printer;
        report_.target = target;
        report_.changes = SentDifferences(printer, target);
        report_.switchesAfter = printer;
        if (report_.changes.empty()) {
            if (!options_.json) console_.out << port_.name << ": unchanged" << std::endl;
            return {kExitDone, "unchanged"};
        }
        // Changes listed after a Ctrl-C must not read as done.
        const bool interrupted = !options_.dryRun && InterruptRequested();
        if (!options_.json) {
            console_.out << port_.name
                         << (interrupted ? ": would change, but nothing was set (interrupted):\n"
                                         : ":\n");
            PrintChanges(console_.out, printer, target, report_.changes, model_);
        }
        report_.nextLine = NextLine(printer, target, model_);
        std::optional<LineFollow> follow;
        if (options_.follow && report_.nextLine) {
            follow.emplace(console_, session);
            if (auto failed = follow->Prepare(*report_.nextLine)) return Fail(*failed);
            if (!follow->Needed()) follow.reset();
        }
        if (options_.dryRun) {
            report_.switchesAfter = target;  // what would be written
            if (follow) follow->TellPlan();
            if (report_.nextLine) {
                console_.Message(port_.name +
                                 ": the printer's serial settings would change: it would be "
                                 "reached afterwards with " +
                                 LineOptionsText(*report_.nextLine));
            }
            console_.Message(port_.name + ": dry run: nothing was sent to the printer");
            return {kExitDone, "would change, dry run"};
        }
        if (interrupted || InterruptRequested()) {
            return Fail({kExitInterrupted, port_.name + ": interrupted: nothing was set"});
        }

        if (auto failed = SendAndFollow(session, printer, target, info,
                                        follow ? &*follow : nullptr, report_)) {
            return Fail(*failed);
        }
        if (!follow && report_.nextLine) {
            session.Sink().ClearBar();
            console_.Message(port_.name +
                             ": the printer's serial settings change: reach it next time with " +
                             LineOptionsText(*report_.nextLine));
        }
        if (!options_.verify) return {kExitDone, "done"};
        return Verify(session, target, info, follow.has_value());
    }

  private:
    // Reads back on this run's line settings (the new ones once followed). A printer that
    // takes new serial settings as it leaves its setting mode no longer answers at the old
    // ones, so that failure says where to look.
    PortOutcome Verify(PortSession& session, const status::PrinterStatus& target,
                       status::PrinterInfo& info, bool followed) {
        status::PrinterStatus readBack{};
        const auto result = status::GetStatus(session.Connection(), readBack, info, session.Sink());
        if (auto failed = session.FailureOf(result, "Get Status")) {
            const std::string prefix = port_.name + ": ";
            if (failed->message.rfind(prefix, 0) == 0) failed->message.erase(0, prefix.size());
            failed->message = prefix + "verify: " + failed->message;
            if (report_.nextLine && !followed) {
                failed->message +=
                    " on this run's line settings; it may have taken its new serial settings "
                    "already: check with talq get --model " +
                    std::string(ModelName(model_)) + " --port " + port_.name + " " +
                    LineOptionsText(*report_.nextLine);
            }
            return Fail(*failed);
        }
        report_.switchesAfter = readBack;
        if (const auto kept = SentDifferences(target, readBack); !kept.empty()) {
            report_.verifyMatched = false;
            const std::string message = port_.name +
                                        ": verify failed: the printer reads back other values "
                                        "than were sent (sent -> read):";
            console_.Error(message);
            PrintChanges(console_.err, target, readBack, kept, model_);
            report_.error = message.substr(0, message.size() - 1);
            report_.exitCode = kExitVerifyMismatch;
            return {kExitVerifyMismatch, "verify failed"};
        }
        report_.verifyMatched = true;
        console_.Message(port_.name + ": verified: the printer reads back what was sent");
        return {kExitDone, "done, verified"};
    }

    PortOutcome Fail(const Failure& failure) {
        report_.error = failure.message;
        return Report(console_, failure);
    }

    const Console& console_;
    const PortTarget& port_;
    int model_;
    const SetInput& input_;
    const SetOptions& options_;
    SetReport& report_;
};

}  // namespace

int RunSet(const Console& console, const ConnectionOptions& connection, const SetOptions& options) {
    Failure failure;
    const auto targets = ResolveTargets(connection, failure);
    if (!targets) return Report(console, failure).exitCode;
    const int model = targets->model;
    const auto input = ReadSetInput(options, model, failure);
    if (!input) return Report(console, failure).exitCode;
    // Once, before any port: they are about the command, and --quiet keeps them.
    for (const std::string& warning : input->edits.warnings) console.Error(warning);

    // Every port has its document, also one that never ran.
    const auto withDocument = [&](PortOutcome outcome, SetReport& report) {
        report.exitCode = outcome.exitCode;
        if (options.json) outcome.json = SetJson(report);
        return outcome;
    };
    return RunOnPorts(
        console, *targets, options.json,
        [&](const PortTarget& port, const Console& portConsole) {
            SetReport report;
            return withDocument(SetRun(portConsole, port, model, *input, options, report).Run(),
                                report);
        },
        [&](const PortTarget& port) {
            SetReport report;
            report.port = port.name;
            report.model = model;
            report.dryRun = options.dryRun;
            report.error = port.name + ": not run: interrupted";
            return withDocument(NotRun(), report);
        });
}

}  // namespace talq::cli
