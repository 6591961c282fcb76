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

Json FollowJson(const FollowReport& follow) {
    Json queues = Json::array();
    for (const setup::QueueLineMove& queue : follow.queues) {
        queues.push_back(
            {{"queue", queue.queue}, {"before", queue.before}, {"after", queue.after}});
    }
    const auto& w = follow.lineWords;
    return {{"result", follow.result},
            {"lineSettings", w.size() == 5 ? Json{{"baud", w[0]},
                                                  {"dataBits", w[1]},
                                                  {"parity", w[2]},
                                                  {"stopBits", w[3]},
                                                  {"flow", w[4]}}
                                           : Json(nullptr)},
            {"portsFile", TextOrNull(follow.portsFile)},
            {"queues", queues},
            {"portDefaults", TextOrNull(follow.portDefaults)}};
}

}  // namespace

std::string SetJson(const SetReport& report) {
    return JsonText(SetJsonObject(report));
}

Json SetJsonObject(const SetReport& report) {
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
    if (report.follow) top["follow"] = FollowJson(*report.follow);
    top["exitCode"] = report.exitCode;
    if (!report.error.empty()) top["error"] = report.error;
    return top;
}

}  // namespace talq::cli
