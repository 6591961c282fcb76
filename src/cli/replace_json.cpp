#include "cli/replace_json.h"

#include "cli/json_parts.h"

namespace talq::cli {
namespace {

Json LineJson(const std::optional<std::vector<std::string>>& words) {
    if (!words || words->size() != 5) return nullptr;
    const auto& w = *words;
    return {
        {"baud", w[0]}, {"dataBits", w[1]}, {"parity", w[2]}, {"stopBits", w[3]}, {"flow", w[4]}};
}

}  // namespace

std::string ReplaceJson(const ReplaceReport& report) {
    const Json set = SetJsonObject(report.set);
    Json top;
    top["format"] = kReplaceJsonFormat;
    top["port"] = set["port"];
    top["model"] = report.found ? set["model"] : Json(nullptr);
    top["printer"] = report.found ? Json{{"firmwareVersion", report.info.firmwareVersion},
                                         {"modelName", report.info.modelName}}
                                  : Json(nullptr);
    top["foundAt"] = LineJson(report.foundAt);
    for (const char* key : {"changes", "decoded", "setStatus", "dryRun", "verify"}) {
        top[key] = set[key];
    }
    top["selfTest"] = report.selfTest;
    top["switches"] = report.found ? set["switches"] : Json(nullptr);
    for (const char* key : {"nextLineSettings", "follow"}) {
        if (set.contains(key)) top[key] = set[key];
    }
    top["lineSettings"] = LineJson(report.lineNow);
    top["exitCode"] = set["exitCode"];
    if (set.contains("error")) top["error"] = set["error"];
    return JsonText(top);
}

}  // namespace talq::cli
