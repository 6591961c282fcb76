#include "cli/send_and_follow.h"

#include "status/status_exchanges.h"

namespace talq::cli {

std::optional<Failure> SendAndFollow(PortSession& session, const status::PrinterStatus& printer,
                                     const status::PrinterStatus& target,
                                     status::PrinterInfo& info, LineFollow* follow,
                                     SetReport& report) {
    report.setStatus = true;
    const auto result = status::SetStatus(session.Connection(), target, info, session.Sink());
    if (auto failed = session.FailureOf(result, "Set Status")) {
        report.switchesAfter.reset();  // what the printer kept is not known
        return failed;
    }
    report.switchesAfter = target;
    if (follow == nullptr) return std::nullopt;
    const auto failed = follow->Follow(printer, info);
    report.follow = follow->Report();
    if (failed) {
        // Rolled back: read back as it was; otherwise not known.
        report.switchesAfter.reset();
        if (report.follow->result == "rolled back") report.switchesAfter = printer;
    }
    return failed;
}

}  // namespace talq::cli
