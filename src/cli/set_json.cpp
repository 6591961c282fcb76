#include "cli/set_json.h"

#include "cli/decoded_settings.h"
#include "cli/json_parts.h"
#include "status/code_pages.h"

namespace talq::cli {
namespace {

Json ChangesJson(const std::vector<PinChange>& changes) {
    Json list = Json::array();
    for (const PinChange& change : changes) {
        list.push_back({{"switch", status::kSwitchNumbers[static_cast<std::size_t>(change.slot)]},
                        {"pin", change.pin},
                        {"before", change.before},
                        {"after", change.after}});
    }
    return list;
}

// Only the settings that change.
Json DecodedJson(const SetReport& report) {
    Json decoded = Json::object();
    if (!report.printer || !report.target) return decoded;
    const int was = status::DecodeCodePage(*report.printer);
    const int now = status::DecodeCodePage(*report.target);
    if (was != now)
        decoded["codePage"] = {{"before", CodePageJson(was)}, {"after", CodePageJson(now)}};
    if (SerialSettingsInSwitches(report.model)) {
        const auto before = SerialSettingsWords(*report.printer, report.model, nullptr);
        const auto after = SerialSettingsWords(*report.target, report.model, nullptr);
        if (*before != *after) {
            decoded["serial"] = {{"before", SerialJson(*before)}, {"after", SerialJson(*after)}};
        }
    }
    return decoded;
}

Json LineJson(const LineWords& words) {
    return {{"baud", TextOrNull(words.baud)},
            {"dataBits", TextOrNull(words.dataBits)},
            {"parity", TextOrNull(words.parity)},
            {"flow", TextOrNull(words.flow)}};
}

}  // namespace

std::string SetJson(const SetReport& report) {
    Json top;
    top["format"] = kSetJsonFormat;
    top["port"] = report.port;
    top["model"] = std::string(ModelName(report.model));
    top["changes"] = ChangesJson(report.changes);
    top["decoded"] = DecodedJson(report);
    top["setStatus"] = report.setStatus;
    top["dryRun"] = report.dryRun;
    top["verify"] =
        report.verifyMatched ? Json(*report.verifyMatched ? "match" : "mismatch") : Json(nullptr);
    top["switches"] = report.switchesAfter ? SwitchesJson(*report.switchesAfter) : Json(nullptr);
    if (report.nextLine) top["nextLineSettings"] = LineJson(*report.nextLine);
    top["exitCode"] = report.exitCode;
    if (!report.error.empty()) top["error"] = report.error;
    return JsonText(top);
}

}  // namespace talq::cli
