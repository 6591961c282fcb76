#include "cli/json_parts.h"

#include <cctype>

namespace talq::cli {
namespace {

// Puts each array of numbers on one line, so a switch reads as one row of nine integers.
std::string WithNumberRowsOnOneLine(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    bool inString = false, inRow = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            result += c;
            if (c == '\\' && i + 1 < text.size()) {
                result += text[++i];
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        if (c == '"') inString = true;
        if (c == '[') {
            const std::size_t next = text.find_first_not_of(" \n", i + 1);
            inRow = next != std::string::npos &&
                    (text[next] == '-' || std::isdigit(static_cast<unsigned char>(text[next])));
        } else if (c == ']') {
            if (inRow) {
                while (!result.empty() && (result.back() == ' ' || result.back() == '\n'))
                    result.pop_back();
            }
            inRow = false;
        }
        if (inRow && (c == ' ' || c == '\n')) {
            if (result.back() == ',') result += ' ';
            continue;
        }
        result += c;
    }
    return result;
}
}  // namespace

Json TextOrNull(const std::string& text) {
    return text.empty() ? Json(nullptr) : Json(text);
}

Json SwitchesJson(const status::PrinterStatus& record) {
    Json switches = Json::object();
    for (int slot = 0; slot < status::kSlotCount; ++slot) {
        const auto& pins = record.switches[static_cast<std::size_t>(slot)].pins;
        switches[std::to_string(status::kSwitchNumbers[static_cast<std::size_t>(slot)])] =
            Json(std::vector<std::int32_t>(pins.begin(), pins.end()));
    }
    return switches;
}

Json CodePageJson(int index) {
    return {{"index", index},
            {"name", TextOrNull(CodePageName(index))},
            {"inList", IsListedCodePage(index)}};
}

Json SerialJson(const SerialWords& words) {
    return {{"baud", TextOrNull(words.baud)},
            {"dataBits", TextOrNull(words.dataBits)},
            {"parity", TextOrNull(words.parity)},
            {"flowControl", TextOrNull(words.flowControl)}};
}

std::string JsonText(const Json& document) {
    return WithNumberRowsOnOneLine(document.dump(2, ' ', false, Json::error_handler_t::replace)) +
           "\n";
}

std::string JsonDocuments(const std::vector<std::string>& documents, bool asArray) {
    if (!asArray) return documents.empty() ? std::string() : documents.front();
    std::string text = "[\n";
    for (std::size_t i = 0; i < documents.size(); ++i) {
        text += documents[i].substr(0, documents[i].size() - 1);
        text += i + 1 < documents.size() ? ",\n" : "\n";
    }
    return text + "]\n";
}

}  // namespace talq::cli
