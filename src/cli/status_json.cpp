#include "cli/status_json.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <limits>

#include "cli/decoded_settings.h"
#include "cli/json_parts.h"
#include "cli/models.h"
#include "status/code_pages.h"

namespace talq::cli {
namespace {

using status::kSlotCount;
using status::kSwitchNumbers;

// A status document is flat; anything deeper is not one (and is not worth building).
constexpr int kMaxDepth = 8;

constexpr std::array<std::string_view, 7> kTopLevelFields = {
    "format", "port", "model", "switches", "codePage", "serial", "printer"};

struct Reader {
    std::string error;

    bool Fail(std::string text) {
        if (error.empty()) error = std::move(text);
        return false;
    }

    bool ReadInteger(const Json& value, const std::string& where, std::int32_t& out) {
        constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
        constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
        if (value.is_number_unsigned()) {
            const auto number = value.get<std::uint64_t>();
            if (number > static_cast<std::uint64_t>(kMax)) return Fail(where + " is out of range");
            out = static_cast<std::int32_t>(number);
            return true;
        }
        if (value.is_number_integer()) {
            const auto number = value.get<std::int64_t>();
            if (number < kMin || number > kMax) return Fail(where + " is out of range");
            out = static_cast<std::int32_t>(number);
            return true;
        }
        return Fail(where + " must be an integer");
    }

    bool ReadSwitches(const Json& switches, status::PrinterStatus& record) {
        if (!switches.is_object()) return Fail("\"switches\" must be an object");
        for (const auto& [key, value] : switches.items()) {
            bool known = false;
            for (int number : kSwitchNumbers) known = known || key == std::to_string(number);
            if (!known) return Fail("\"switches\" has no memory switch \"" + key + "\"");
        }
        for (int slot = 0; slot < kSlotCount; ++slot) {
            const std::string key = std::to_string(kSwitchNumbers[static_cast<std::size_t>(slot)]);
            const auto it = switches.find(key);
            if (it == switches.end()) return Fail("\"switches\" lacks switch \"" + key + "\"");
            auto& pins = record.switches[static_cast<std::size_t>(slot)].pins;
            if (!it->is_array() || it->size() != pins.size()) {
                return Fail("switch \"" + key + "\" must be an array of 9 integers");
            }
            for (std::size_t i = 0; i < pins.size(); ++i) {
                const std::string where = "switch \"" + key + "\" [" + std::to_string(i) + "]";
                if (!ReadInteger((*it)[i], where, pins[i])) return false;
            }
        }
        return true;
    }

    bool ReadModel(const Json& model, std::optional<int>& out) {
        if (model.is_null()) return true;
        if (!model.is_string()) return Fail("\"model\" must be a model name");
        out = ParseModel(model.get<std::string>());
        if (!out || model.get<std::string>().size() == 1) {
            return Fail("\"model\" is not one of KTV-520plus, KTV-540/542, KTV-520plusF");
        }
        return true;
    }

    // A decoded field given beside the pins must say what the pins say.
    bool Agrees(const Json& parent, const char* field, const Json& decoded,
                const std::string& where) {
        const auto it = parent.find(field);
        if (it == parent.end() || *it == decoded) return true;
        return Fail(where + "." + field + " is " + it->dump() + " but the pins give " +
                    decoded.dump() + "; edit the pins (or leave the field out)");
    }

    bool CheckDecoded(const Json& top, const StatusDocument& document) {
        if (const auto it = top.find("codePage"); it != top.end() && !it->is_null()) {
            if (!it->is_object()) return Fail("\"codePage\" must be an object");
            const Json decoded = CodePageJson(status::DecodeCodePage(document.status));
            for (const auto& [field, value] : decoded.items()) {
                if (!Agrees(*it, field.c_str(), value, "codePage")) return false;
            }
        }
        // Only "KTV-540/542" keeps its serial settings in the pins.
        if (const auto it = top.find("serial"); it != top.end() && !it->is_null()) {
            if (!it->is_object()) return Fail("\"serial\" must be an object");
            if (document.model != 1) return true;
            const auto words = SerialSettingsWords(document.status, document.model, nullptr);
            return Agrees(*it, "baud", TextOrNull(words->baud), "serial") &&
                   Agrees(*it, "dataBits", TextOrNull(words->dataBits), "serial") &&
                   Agrees(*it, "parity", TextOrNull(words->parity), "serial") &&
                   Agrees(*it, "flowControl", TextOrNull(words->flowControl), "serial");
        }
        return true;
    }

    std::optional<StatusDocument> Read(const Json& top) {
        if (!top.is_object()) return Fail("a status document is a JSON object"), std::nullopt;
        for (const auto& [key, value] : top.items()) {
            bool known = false;
            for (std::string_view field : kTopLevelFields) known = known || key == field;
            if (!known) return Fail("unknown field \"" + key + "\""), std::nullopt;
        }
        if (const auto it = top.find("format");
            it != top.end() && !(it->is_string() && *it == kStatusJsonFormat)) {
            return Fail("\"format\" must be \"" + std::string(kStatusJsonFormat) + "\""),
                   std::nullopt;
        }
        StatusDocument document;
        const auto switches = top.find("switches");
        if (switches == top.end()) return Fail("\"switches\" is missing"), std::nullopt;
        if (!ReadSwitches(*switches, document.status)) return std::nullopt;
        if (const auto it = top.find("model"); it != top.end() && !ReadModel(*it, document.model)) {
            return std::nullopt;
        }
        if (!CheckDecoded(top, document)) return std::nullopt;
        return document;
    }
};

}  // namespace

StatusJsonResult ParseStatusJson(std::string_view text) noexcept {
    try {
        if (text.size() > kMaxStatusJsonBytes)
            return {std::nullopt, "too large for a status document"};
        bool tooDeep = false;
        const Json::parser_callback_t depthGuard = [&tooDeep](int depth, Json::parse_event_t,
                                                              Json&) {
            if (depth > kMaxDepth) tooDeep = true;
            return !tooDeep;
        };
        const Json top = Json::parse(text.begin(), text.end(), depthGuard,
                                     /*allow_exceptions=*/false, /*ignore_comments=*/false);
        if (tooDeep) return {std::nullopt, "nested too deeply for a status document"};
        if (top.is_discarded()) return {std::nullopt, "malformed JSON"};
        Reader reader;
        auto document = reader.Read(top);
        return {std::move(document), reader.error};
    } catch (const std::exception& e) {
        return {std::nullopt, std::string("malformed JSON: ") + e.what()};
    } catch (...) {
        return {std::nullopt, "malformed JSON"};
    }
}

std::string StatusJson(const status::PrinterStatus& record, std::optional<int> model,
                       const status::PrinterInfo* info, const std::string& port) {
    Json top;
    top["format"] = kStatusJsonFormat;
    if (!port.empty()) top["port"] = port;
    top["model"] = model ? Json(std::string(ModelName(*model))) : Json(nullptr);
    top["switches"] = SwitchesJson(record);
    top["codePage"] = CodePageJson(status::DecodeCodePage(record));
    const auto words = SerialSettingsWords(record, model, info);
    top["serial"] = words ? SerialJson(*words) : Json(nullptr);
    if (info != nullptr) {
        top["printer"] = {{"firmwareVersion", info->firmwareVersion},
                          {"modelName", info->modelName}};
    }
    return JsonText(top);
}

}  // namespace talq::cli
