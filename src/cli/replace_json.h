// The JSON form of one port's `talq replace` (format "talq-replace/1"): what was found where,
// then what talq-set/1 tells of the run, the test page, and the line settings the host reaches
// the printer at now.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/set_json.h"
#include "status/printer_info.h"

namespace talq::cli {

inline constexpr std::string_view kReplaceJsonFormat = "talq-replace/1";

struct ReplaceReport {
    SetReport set;       // its model counts once `found`
    bool found = false;  // a printer of the file's model answered
    status::PrinterInfo info;
    std::optional<std::vector<std::string>> foundAt;  // a serial port's five line words
    bool selfTest = false;                            // the test page was sent
    std::optional<std::vector<std::string>> lineNow;  // at the end of a run that succeeded
};

std::string ReplaceJson(const ReplaceReport& report);

}  // namespace talq::cli
