// talq replace: a printer swapped on a till set up as the till's saved file says. Found at any
// line setting (the factory's first), the file applied, the host moved along when the
// printer's own serial settings change, read back, and its test page printed; the line
// settings the host reaches it at said last.
#include <algorithm>

#include "cli/commands.h"
#include "cli/decoded_settings.h"
#include "cli/follow_line.h"
#include "cli/interrupts.h"
#include "cli/replace_json.h"
#include "cli/send_and_follow.h"
#include "cli/saved_line_settings.h"
#include "cli/status_diff.h"
#include "cli/status_files.h"
#include "cli/status_target.h"
#include "protocol/commands.h"
#include "setup/self_test.h"

namespace talq::cli {
namespace {

class ReplaceRun {
  public:
    ReplaceRun(const Console& console, const PortTarget& port, int model,
               const StatusDocument& file, const ReplaceOptions& options, ReplaceReport& report)
        : console_(console),
          port_(port),
          model_(model),
          file_(file),
          options_(options),
          report_(report) {
        report_.set.port = port.name;
        report_.set.model = model < 0 ? 0 : model;
        report_.set.dryRun = options.dryRun;
    }

    PortOutcome Run() {
        PortSession session(console_, port_, model_);
        if (auto failed = FindPrinter(session)) return Fail(*failed);
        const int model = session.Model();
        status::PrinterInfo info = report_.info;
        status::PrinterStatus printer{};
        const auto result = status::GetStatus(session.Connection(), printer, info, session.Sink());
        if (auto failed = session.FailureOf(result, "Get Status")) return Fail(*failed);
        report_.info = info;

        SetReport& set = report_.set;
        const status::PrinterStatus target = SentTarget(printer, file_.status, {});
        set.printer = printer;
        set.target = target;
        set.changes = SentDifferences(printer, target);
        set.switchesAfter = printer;
        set.nextLine = NextLine(printer, target, model);
        const bool interrupted = !options_.dryRun && InterruptRequested();
        if (!options_.json) {
            if (set.changes.empty()) {
                console_.out << port_.name << ": holds the file's settings already" << std::endl;
            } else {
                console_.out << port_.name
                             << (interrupted
                                     ? ": would change, but nothing was set (interrupted):\n"
                                     : ":\n");
                PrintChanges(console_.out, printer, target, set.changes, model);
            }
        }
        std::optional<LineFollow> follow;
        if (set.nextLine) {
            follow.emplace(console_, session);
            if (auto failed = follow->Prepare(*set.nextLine)) return Fail(*failed);
            if (!follow->Needed()) follow.reset();
        }
        if (options_.dryRun) {
            set.switchesAfter = target;
            if (follow) follow->TellPlan();
            if (set.nextLine) {
                console_.Message(port_.name + ": it would be reached afterwards with " +
                                 LineOptionsText(*set.nextLine));
            }
            console_.Message(port_.name + ": dry run: nothing was sent to the printer");
            return {kExitDone, "would replace, dry run"};
        }
        if (interrupted || InterruptRequested()) {
            return Fail({kExitInterrupted, port_.name + ": interrupted: nothing was set"});
        }

        if (!set.changes.empty()) {
            if (auto failed = SendAndFollow(session, printer, target, info,
                                            follow ? &*follow : nullptr, set)) {
                return Fail(*failed);
            }
        }
        if (!follow) {
            // It stays where it was found, which need not be where the host looked for the
            // printer it replaces.
            LineFollow adopt(console_, session);
            const auto failed = adopt.Adopt();
            if (!adopt.Report().result.empty()) set.follow = adopt.Report();
            if (failed) return Fail(*failed);
        }
        if (auto failed = Verify(session, target, info)) return Fail(*failed);
        return SelfTestAndSay(session);
    }

  private:
    // At the model's factory settings first, then every other one, as talq find looks.
    std::optional<Failure> FindPrinter(PortSession& session) {
        setup::FindRequest request;
        request.model = model_;
        request.lines = setup::SearchOrder(model_);
        request.stopRequested = [] { return InterruptRequested(); };
        ConsoleSink& bar = session.Sink();
        request.onTry = [&](int number, int total, const platform::LineSettings* line) {
            if (number == 1) {
                const int planned = line != nullptr ? total : 1;
                console_.Message(
                    port_.name + ": looking for the printer" +
                    (line != nullptr
                         ? " at " + std::to_string(total) + " line settings, the factory's first"
                         : std::string()) +
                    "; given up after " +
                    std::to_string((planned * setup::SilentTryMs(port_.kind) + 999) / 1000) +
                    " s if nothing answers");
            }
            bar.SetProgress(std::min(100, (number - 1) * 100 / std::max(total, 1)));
        };
        setup::FindResult found;
        const auto failed = session.Find(request, found);
        bar.ClearBar();
        if (failed) return failed;
        report_.set.model = found.model;
        report_.found = true;
        report_.info = found.info;
        if (found.line) report_.foundAt = LineSettingsWords(session.Settings());
        const std::string what = std::string(ModelName(found.model)) + " (\"" +
                                 found.info.modelName + "\", firmware \"" +
                                 found.info.firmwareVersion + "\")";
        console_.Message(port_.name + ": found " + what +
                         (report_.foundAt ? " at " + JoinedWords(*report_.foundAt) : ""));
        const std::optional<int> wanted = model_ >= 0 ? std::optional(model_) : file_.model;
        if (wanted && *wanted != found.model) {
            return Failure{kExitNotIdentified,
                           port_.name + ": found a " + what + ", but the file is for the " +
                               std::string(ModelName(*wanted)) + ": nothing was set"};
        }
        return std::nullopt;
    }

    std::optional<Failure> Verify(PortSession& session, const status::PrinterStatus& target,
                                  status::PrinterInfo& info) {
        status::PrinterStatus readBack{};
        const auto result = status::GetStatus(session.Connection(), readBack, info, session.Sink());
        if (auto failed = session.FailureOf(result, "verify: Get Status")) return failed;
        SetReport& set = report_.set;
        set.switchesAfter = readBack;
        if (const auto kept = SentDifferences(target, readBack); !kept.empty()) {
            set.verifyMatched = false;
            const std::string message =
                port_.name +
                ": verify failed: the printer holds other values than were sent "
                "(sent -> held):";
            console_.Error(message);
            PrintChanges(console_.err, target, readBack, kept, session.Model());
            return Failure{kExitVerifyMismatch, message.substr(0, message.size() - 1)};
        }
        set.verifyMatched = true;
        console_.Message(port_.name + ": verified: the printer reads back the file's settings");
        return std::nullopt;
    }

    PortOutcome SelfTestAndSay(PortSession& session) {
        console_.Message(port_.name + ": Self Test: the printer prints its test page");
        const int written = setup::SelfTest(session.Port());
        if (written != static_cast<int>(protocol::kTestPrint.size())) {
            return Fail({kExitExchangeFailed,
                         port_.name + ": Self Test: the test print command did not go out"});
        }
        report_.selfTest = true;
        std::string text = port_.name + ": replaced: " + std::string(ModelName(session.Model())) +
                           ", " +
                           (report_.set.changes.empty()
                                ? std::string("it held the file's settings already")
                                : std::to_string(report_.set.changes.size()) +
                                      (report_.set.changes.size() == 1 ? " pin set" : " pins set")) +
                           ", read back, test page printed";
        if (session.Kind() == link::Serial) {
            report_.lineNow = LineSettingsWords(session.Settings());
            const auto& w = *report_.lineNow;
            text += "; the host reaches it with " + LineOptionsText({w[0], w[1], w[2], w[3], w[4]});
        }
        if (!options_.json) console_.out << text << std::endl;
        return {kExitDone, "replaced"};
    }

    PortOutcome Fail(const Failure& failure) {
        report_.set.error = failure.message;
        return Report(console_, failure);
    }

    const Console& console_;
    const PortTarget& port_;
    int model_;  // -1: whichever answers
    const StatusDocument& file_;
    const ReplaceOptions& options_;
    ReplaceReport& report_;
};

}  // namespace

int RunReplace(const Console& console, const ConnectionOptions& connection,
               const ReplaceOptions& options) {
    Failure failure;
    std::optional<int> model;
    if (!connection.model.empty()) {
        model = ResolveModel(connection.model, failure);
        if (!model) return Report(console, failure).exitCode;
    }
    const auto file = ReadStatusInput(options.file, failure);
    if (!file) return Report(console, failure).exitCode;
    if (model && file->model && *file->model != *model) {
        return Report(console, {kExitUsage, options.file + ": written for the " +
                                                std::string(ModelName(*file->model)) +
                                                ", not the " + std::string(ModelName(*model))})
            .exitCode;
    }
    if (!model) model = file->model;
    // The ports as get and set take them; the line settings are searched, not given.
    ConnectionOptions ports = connection;
    ports.model = std::to_string(model.value_or(0));
    const auto targets = ResolveTargets(ports, failure);
    if (!targets) return Report(console, failure).exitCode;

    const auto withDocument = [&](PortOutcome outcome, ReplaceReport& report) {
        report.set.exitCode = outcome.exitCode;
        if (options.json) outcome.json = ReplaceJson(report);
        return outcome;
    };
    return RunOnPorts(
        console, *targets, options.json,
        [&](const PortTarget& port, const Console& portConsole) {
            ReplaceReport report;
            return withDocument(
                ReplaceRun(portConsole, port, model.value_or(-1), *file, options, report).Run(),
                report);
        },
        [&](const PortTarget& port) {
            ReplaceReport report;
            report.set.port = port.name;
            report.set.model = model.value_or(0);
            report.set.dryRun = options.dryRun;
            report.set.error = port.name + ": not run: interrupted";
            return withDocument(NotRun(), report);
        });
}

}  // namespace talq::cli
