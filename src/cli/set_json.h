// The JSON form of one port's `talq set` (format "talq-set/1"): the sent pins that change,
// the decoded settings they change, what was done and the switches afterwards.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/follow_line.h"
#include "cli/json_parts.h"
#include "cli/models.h"
#include "cli/status_diff.h"
#include "status/printer_status.h"

namespace talq::cli {

inline constexpr std::string_view kSetJsonFormat = "talq-set/1";

// Filled in as the port's run goes; what is still empty when it ends did not happen.
struct SetReport {
    std::string port;
    int model = 0;
    // The printer's switches as read, and the record Set Status sends (or would send).
    std::optional<status::PrinterStatus> printer, target;
    std::vector<PinChange> changes;
    bool setStatus = false;  // Set Status was started (on a failure: the printer may be partly set)
    bool dryRun = false;
    std::optional<bool> verifyMatched;
    std::optional<status::PrinterStatus> switchesAfter;
    std::optional<LineWords> nextLine;   // when the printer's serial settings change
    std::optional<FollowReport> follow;  // when the host followed them, or tried to
    int exitCode = 0;
    std::string error;
};

// The document as an object, for the documents that extend it.
Json SetJsonObject(const SetReport& report);
std::string SetJson(const SetReport& report);

}  // namespace talq::cli
