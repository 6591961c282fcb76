#include "cli/follow_line.h"

#include "cli/commands.h"
#include "cli/decoded_settings.h"
#include "cli/saved_line_settings.h"
#include "cli/status_diff.h"
#include "platform/port_mapping.h"
#include "platform/ports_file.h"
#include "status/status_exchanges.h"

namespace talq::cli {
namespace {

std::optional<std::vector<std::string>> LineWordsIn(const std::string& text,
                                                    const std::string& port) {
    for (const auto& kept : platform::ParsePortsFile(text).lineSettings) {
        if (kept.port == port) return kept.words;
    }
    return std::nullopt;
}

}  // namespace

LineFollow::LineFollow(const Console& console, PortSession& session)
    : console_(console), session_(session) {}

std::string LineFollow::Options(const platform::LineSettings& line) const {
    const auto w = LineSettingsWords(RecordOf(session_.Name(), line));
    return LineOptionsText({w[0], w[1], w[2], w[3], w[4]});
}

std::optional<Failure> LineFollow::Prepare(const LineWords& next) {
    const std::string& name = session_.Name();
    needed_ = session_.Kind() == link::Serial;
    if (!needed_) return std::nullopt;
    before_ = LineOf(session_.Settings());
    if (next.baud.empty() || next.dataBits.empty() || next.parity.empty() || next.flow.empty()) {
        return Failure{kExitUsage, name +
                                       ": --follow: the printer's new serial settings name no "
                                       "line setting of the lists, so it could not be reached "
                                       "there: nothing was sent"};
    }
    LineWords words = next;
    words.stopBits = LineSettingsWords(session_.Settings())[3];
    const SettingsOrError built = BuildPortSettings(name, session_.Model(), words);
    if (!built.settings) return Failure{kExitUsage, name + ": --follow: " + built.error};
    next_ = LineOf(*built.settings);
    report_.lineWords = LineSettingsWords(*built.settings);
    if (auto failed = Plan()) {
        failed->message = name + ": --follow: " + failed->message + ": nothing was sent";
        return failed;
    }
    return std::nullopt;
}

std::optional<Failure> LineFollow::Plan() {
    const std::string& name = session_.Name();
    plan_ = setup::PlanHostLineMove(session_.Settings().portName, session_.Queues(), next_);
    if (!plan_.unheld.empty()) {
        return Failure{kExitPortFailed, "the print queue " + JoinedWords(plan_.unheld) +
                                            " prints to this port, and this user may not "
                                            "change it (root, or the group lpadmin), so it "
                                            "could not follow"};
    }
    keepsPortsFile_ = name.rfind("COM", 0) == 0 && platform::IsFixedPortName(name);
    if (keepsPortsFile_ && platform::UserPortsFile().empty()) {
        return Failure{kExitFileFailed, platform::NoUserPortsFileReason()};
    }
    return std::nullopt;
}

std::optional<Failure> LineFollow::Adopt() {
    const std::string& name = session_.Name();
    needed_ = session_.Kind() == link::Serial;
    if (!needed_) return std::nullopt;
    before_ = next_ = LineOf(session_.Settings());
    report_.lineWords = LineSettingsWords(session_.Settings());
    if (auto failed = Plan()) {
        console_.Message(name + ": the host could not follow the line settings the printer "
                                "answered at: " +
                         failed->message);
        return std::nullopt;
    }
    bool fileDiffers = false;
    if (keepsPortsFile_) {
        const auto saved = SavedLineOf(name);
        // No line kept: the connection dialog's defaults.
        const auto kept =
            BuildPortSettings(name, session_.Model(), saved ? saved->words : LineWords{}).settings;
        fileDiffers = !kept || !SameLine(LineOf(*kept), next_);
    }
    if (!fileDiffers && plan_.queues.empty() && !plan_.defaults) return std::nullopt;
    if (auto failed = MoveHost()) {
        report_.result = "failed";
        return failed;
    }
    report_.result = "followed";
    TellFollowed(name + ": the host follows the line settings the printer answered at: ");
    return std::nullopt;
}

void LineFollow::TellPlan() const {
    if (!needed_) return;
    const std::string& name = session_.Name();
    if (keepsPortsFile_) {
        console_.Message(name + ": would follow: ports file " + platform::UserPortsFile() + ": " +
                         name + ".line=" + JoinedWords(report_.lineWords));
    }
    for (const setup::QueueLineMove& queue : plan_.queues) {
        console_.Message(name + ": would follow: print queue " + queue.queue + ": " + queue.after);
    }
    if (plan_.defaults) {
        console_.Message(name + ": would follow: the default settings of " + plan_.device);
    }
}

std::optional<Failure> LineFollow::Follow(const status::PrinterStatus& earlier,
                                          status::PrinterInfo& info) {
    const std::string& name = session_.Name();
    session_.Sink().ClearBar();
    if (!session_.Reconnect(next_)) {
        if (auto failed = MoveHost()) return RollBack(earlier, info, *failed);
        report_.result = "followed";
        TellFollowed(name + ": the printer answers at its new serial settings, and the host "
                            "follows: ");
        return std::nullopt;
    }
    const std::string notThere =
        name + ": the printer did not answer at its new serial settings (" + Options(next_) + ")";
    if (!session_.Reconnect(before_)) {
        return RollBack(earlier, info,
                        {kExitNotIdentified,
                         notThere + ", but still at the earlier ones: it may take them only "
                                    "when it next starts"});
    }
    report_.result = "failed";
    return Failure{kExitNotIdentified,
                   notThere + ", nor at the earlier ones (" + Options(before_) +
                       "): it was sent the new settings; the host was left at the earlier "
                       "ones. Look for it with talq find --port " +
                       name};
}

void LineFollow::TellFollowed(const std::string& head) const {
    const std::string& name = session_.Name();
    console_.Message(head + Options(next_));
    if (!report_.portsFile.empty()) {
        console_.Message(name + ": ports file " + report_.portsFile + ": " + name + ".line=" +
                         JoinedWords(report_.lineWords));
    }
    for (const setup::QueueLineMove& queue : report_.queues) {
        console_.Message(name + ": print queue " + queue.queue + ": " + queue.after +
                         " (given back so at the end of this run)");
    }
    if (!report_.portDefaults.empty()) {
        console_.Message(name + ": the default settings of " + report_.portDefaults + ": " +
                         JoinedWords(report_.lineWords));
    }
}

std::optional<Failure> LineFollow::MoveHost() {
    const std::string& name = session_.Name();
    if (auto failed = setup::MoveHostLine(plan_, session_.Queues(), next_)) {
        return Failure{kExitPortFailed, name + ": the host could not follow: " + *failed};
    }
    report_.queues = plan_.queues;
    if (plan_.defaults) report_.portDefaults = plan_.device;
    if (!keepsPortsFile_) return std::nullopt;
    PortsFileEdit done;
    const auto failed = EditUserPortsFileQuietly(
        [&](const std::string& text) {
            previousWords_ = LineWordsIn(text, name);  // as it stands under the lock
            return platform::WithPortLineSettings(text, name, report_.lineWords);
        },
        done);
    if (failed) {
        setup::UndoHostLineMove(plan_, session_.Queues());
        report_.queues.clear();
        report_.portDefaults.clear();
        return Failure{failed->exitCode, name + ": the host could not follow: " + failed->message};
    }
    if (done.written) report_.portsFile = done.file;
    return std::nullopt;
}

void LineFollow::UndoPortsFile() {
    if (report_.portsFile.empty()) return;
    const std::string& name = session_.Name();
    PortsFileEdit done;
    EditUserPortsFileQuietly(
        [&](const std::string& text) {
            return previousWords_ ? platform::WithPortLineSettings(text, name, *previousWords_)
                                  : platform::WithoutPortLineSettings(text, name);
        },
        done);
    report_.portsFile.clear();
}

// The session is connected where the printer answers: at its new settings when the host could
// not follow, at the earlier ones when it did not take the new ones.
Failure LineFollow::RollBack(const status::PrinterStatus& earlier, status::PrinterInfo& info,
                             Failure why) {
    const platform::LineSettings at = LineOf(session_.Settings());
    report_.result = "failed";
    console_.Message(why.message + "; rolling back: the printer is sent its earlier settings");
    if (!report_.queues.empty() || !report_.portDefaults.empty()) {
        setup::UndoHostLineMove(plan_, session_.Queues());
        report_.queues.clear();
        report_.portDefaults.clear();
    }
    UndoPortsFile();
    auto result = status::SetStatus(session_.Connection(), earlier, info, session_.Sink());
    session_.Sink().ClearBar();
    const std::string host =
        "; the host was left at the earlier settings (" + Options(before_) + ")";
    if (result != status::ExchangeResult::Success) {
        why.message +=
            "; rolling back failed: Set Status of the earlier settings stopped "
            "part-way, so the printer may be partly set" +
            host;
        return why;
    }
    // A printer that takes its settings at once answers at the earlier ones again.
    if (session_.Reconnect(before_)) {
        const bool stillThere = !SameLine(at, before_) && !session_.Reconnect(at);
        why.message += stillThere ? "; rolled back: the printer was sent its earlier settings, "
                                    "but answers at " +
                                        Options(at) + " until it next starts" + host
                                  : "; rolling back: the printer was sent its earlier settings, "
                                    "but answers at neither line setting now" +
                                        host;
        return why;
    }
    status::PrinterStatus readBack{};
    result = status::GetStatus(session_.Connection(), readBack, info, session_.Sink());
    session_.Sink().ClearBar();
    if (result != status::ExchangeResult::Success) {
        why.message +=
            "; rolling back: the printer was sent its earlier settings, but could not "
            "be read back" +
            host;
        return why;
    }
    if (const auto differ = SentDifferences(earlier, readBack); !differ.empty()) {
        why.message +=
            "; rolling back: the printer reads back other values than its earlier "
            "ones (earlier -> read), listed above" +
            host;
        PrintChanges(console_.err, earlier, readBack, differ, session_.Model());
        return why;
    }
    report_.result = "rolled back";
    why.message +=
        "; rolled back: the printer holds its earlier settings again (read back), "
        "and the host reaches it as before, at " +
        Options(before_);
    return why;
}

}  // namespace talq::cli
