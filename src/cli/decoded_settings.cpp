#include "cli/decoded_settings.h"

#include <span>
#include <string_view>

#include "status/code_pages.h"
#include "status/serial_encoding.h"

namespace talq::cli {
namespace {

std::string Entry(std::span<const std::string_view> list, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return {};
    return std::string(list[static_cast<std::size_t>(index)]);
}

std::string OrNone(const std::string& word) {
    return word.empty() ? "(none)" : word;
}

}  // namespace

std::string CodePageName(int index) {
    return Entry(status::kCodePageTexts, index);
}

bool IsListedCodePage(int index) {
    return !CodePageName(index).empty();
}

std::string CodePageText(int index) {
    return std::to_string(index) + " " +
           (IsListedCodePage(index) ? CodePageName(index) : "(matches no entry of the list)");
}

std::optional<SerialWords> SerialSettingsWords(const status::PrinterStatus& status,
                                               std::optional<int> model,
                                               const status::PrinterInfo* info) {
    using namespace status;
    if (SerialSettingsInSwitches(model)) {
        const SerialSettingsIndexes decoded = DecodeSerialSettings(status);
        return SerialWords{
            Entry(kSwitchBaudTexts, decoded.baud), Entry(kDataBitsTexts, decoded.dataBits),
            Entry(kParityTexts, decoded.parity), Entry(kFlowControlTexts, decoded.flowControl)};
    }
    if (info == nullptr || !model) return std::nullopt;
    return SerialWords{
        Entry(kQueriedBaudTexts, info->baudIndex), Entry(kDataBitsTexts, info->dataBitsIndex),
        Entry(kParityTexts, info->parityIndex), Entry(kFlowControlTexts, info->flowControlIndex)};
}

std::string SerialSettingsText(const SerialWords& words, const SerialWords* other) {
    const struct {
        const char* name;
        const std::string SerialWords::*word;
    } fields[] = {{"baud", &SerialWords::baud},
                  {"data bits", &SerialWords::dataBits},
                  {"parity", &SerialWords::parity},
                  {"flow control", &SerialWords::flowControl}};
    std::string text;
    for (const auto& field : fields) {
        const std::string& now = words.*field.word;
        if (other != nullptr && other->*field.word == now) continue;
        text += (text.empty() ? "" : ", ") + std::string(field.name) + " ";
        if (other != nullptr) text += OrNone(other->*field.word) + " -> ";
        text += OrNone(now);
    }
    return text;
}

bool IsCodePagePin(int slot, int pin) {
    return slot == status::kSlotSwitch2 && pin >= 3 && pin <= status::kPinsPerSwitch;
}

bool IsSerialPin(std::optional<int> model, int slot, int pin) {
    return SerialSettingsInSwitches(model) && slot == status::kSlotSwitch9 && pin >= 2 &&
           pin <= status::kPinsPerSwitch;
}

LineWords LineWordsFor(const SerialWords& words) {
    LineWords line;
    line.baud = words.baud;
    line.dataBits = words.dataBits;
    line.parity = words.parity;
    if (words.flowControl == status::kFlowControlTexts[0]) line.flow = kFlowWords[0];
    if (words.flowControl == status::kFlowControlTexts[1]) line.flow = kFlowWords[1];
    return line;
}

std::string LineOptionsText(const LineWords& words) {
    std::string text;
    const auto add = [&text](const char* option, const std::string& word) {
        if (!word.empty()) text += (text.empty() ? "" : " ") + std::string(option) + " " + word;
    };
    add("--baud", words.baud);
    add("--data-bits", words.dataBits);
    add("--parity", words.parity);
    add("--stop-bits", words.stopBits);
    add("--flow", words.flow);
    return text;
}

}  // namespace talq::cli
