// The host following the printer's own serial settings (set --follow, and replace): once Set
// Status has moved them, the printer is identified again at its new line settings, and only
// then does what the host reaches it with move too: the user's ports file (COMn.line=...), the
// print queues held for the port (the device URI each gets back at the end of the run) and the
// port's default settings where the system keeps them (Windows). When the printer does not
// answer there, or the host cannot follow, everything goes back: the host as it was, and the
// printer's earlier settings written again where it still answers. What could not be put
// back is said exactly.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/exit_codes.h"
#include "cli/models.h"
#include "cli/port_session.h"
#include "setup/host_line.h"
#include "status/printer_info.h"
#include "status/printer_status.h"

namespace talq::cli {

// What the follow did, for the JSON documents.
struct FollowReport {
    // "followed", "rolled back" (nothing of the run stays, printer and host as before) or
    // "failed" (not everything could be put back: `error` says what holds what).
    std::string result;
    std::vector<std::string> lineWords;  // baud, data bits, parity, stop bits, flow it moved to
    std::string portsFile;               // written with the new settings; empty: not
    std::vector<setup::QueueLineMove> queues;
    std::string portDefaults;  // the device whose default settings now hold them; empty: none
};

class LineFollow {
  public:
    // On `session`, connected at the line settings the printer has now.
    LineFollow(const Console& console, PortSession& session);

    // Before anything is sent: plans the host's move to `next` (the printer's new settings as
    // the connection's words) and says why it cannot follow when it cannot.
    std::optional<Failure> Prepare(const LineWords& next);
    // False when the port has no line settings for the host to follow (USB, parallel).
    bool Needed() const { return needed_; }
    // For a dry run: what would follow, as messages.
    void TellPlan() const;

    // For a printer that keeps the line settings the session found it at (`find`'s result,
    // and no change of its own serial settings): moves the host there where it keeps others.
    // A print queue this user may not change is said and left as it is.
    std::optional<Failure> Adopt();

    // After Set Status has sent the new settings, the printer having held `earlier` before:
    // identifies it at the new line settings and moves the host there, or rolls back. On
    // success the session is connected at the new settings.
    std::optional<Failure> Follow(const status::PrinterStatus& earlier, status::PrinterInfo& info);

    const FollowReport& Report() const { return report_; }

  private:
    std::optional<Failure> MoveHost();
    // Plans the move to `next_`; false, saying nothing, when the host cannot follow there.
    std::optional<Failure> Plan();
    void UndoPortsFile();
    void TellFollowed(const std::string& head) const;
    Failure RollBack(const status::PrinterStatus& earlier, status::PrinterInfo& info, Failure why);
    std::string Options(const platform::LineSettings& line) const;

    const Console& console_;
    PortSession& session_;
    bool needed_ = false;
    platform::LineSettings before_{}, next_{};
    setup::HostLineMove plan_;
    bool keepsPortsFile_ = false;  // a COM port: its ports-file line follows
    std::optional<std::vector<std::string>> previousWords_;  // the port's line there before
    FollowReport report_;
};

}  // namespace talq::cli
