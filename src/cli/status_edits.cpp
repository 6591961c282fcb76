#include "cli/status_edits.h"

#include <algorithm>
#include <cctype>
#include <span>
#include <string_view>

#include "cli/decoded_settings.h"
#include "cli/models.h"
#include "cli/status_diff.h"
#include "status/code_pages.h"
#include "status/serial_encoding.h"

namespace talq::cli {
namespace {

// A plain decimal number of up to four digits; nullopt for anything else.
std::optional<int> SmallNumber(std::string_view text) {
    if (text.empty() || text.size() > 4) return std::nullopt;
    int number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + (c - '0');
    }
    return number;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::optional<PinEdit> ParsePinEdit(const std::string& text, std::string& error) {
    const std::string quoted = "--pin \"" + text + "\": ";
    const auto dot = text.find('.');
    const auto equals = text.find('=');
    if (dot == std::string::npos || equals == std::string::npos || equals < dot) {
        error = quoted + "write SWITCH.PIN=0|1, e.g. 10.5=1";
        return std::nullopt;
    }
    const auto number = SmallNumber(std::string_view(text).substr(0, dot));
    const auto pin = SmallNumber(std::string_view(text).substr(dot + 1, equals - dot - 1));
    const auto value = SmallNumber(std::string_view(text).substr(equals + 1));
    const auto slot = number ? status::SlotOfSwitch(*number) : std::nullopt;
    if (!slot) {
        error = quoted + "no such memory switch (1, 2, 8, 9, 10, 11)";
    } else if (!pin || *pin < 1 || *pin > status::kPinsPerSwitch) {
        error = quoted + "no such pin (1 to 8)";
    } else if (!value || *value > 1 || text.size() != equals + 2) {
        error = quoted + "the value must be 0 or 1";
    } else if (!IsSentPin(*slot, *pin)) {
        error = quoted +
                "Set Status sends only pins 4 and 5 of switch 1; its other pins keep "
                "the printer's values";
    } else {
        return PinEdit{*slot, *pin, *value};
    }
    return std::nullopt;
}

// A list entry by number, by its whole text, or by its first word ("PC850"), letters in any
// case; a name that fits several entries is refused.
std::optional<int> ParseCodePage(const std::string& text, std::string& error) {
    const std::string quoted = "--code-page \"" + text + "\": ";
    if (const auto number = SmallNumber(text)) {
        if (*number < status::kCodePageCount) return *number;
        error = quoted + "no such code page (0 to 36)";
        return std::nullopt;
    }
    const std::string wanted = Lower(text);
    std::vector<int> matches;
    for (int index = 0; index < status::kCodePageCount; ++index) {
        const std::string_view entry = status::kCodePageTexts[static_cast<std::size_t>(index)];
        const std::string_view firstWord = entry.substr(0, entry.find(' '));
        if (Lower(entry) == wanted || Lower(firstWord) == wanted) matches.push_back(index);
    }
    if (matches.size() == 1) return matches.front();
    if (matches.empty()) {
        error = quoted + "no such code page; give its number (0 to 36) or its name, e.g. PC850";
    } else {
        error = quoted + "fits several code pages; give its number:";
        for (int index : matches) {
            error += "\n  " + std::to_string(index) + "  " +
                     std::string(status::kCodePageTexts[static_cast<std::size_t>(index)]);
        }
    }
    return std::nullopt;
}

// A word of one of the printer setting page's serial lists, letters in any case.
std::optional<int> ParseSerialWord(const char* option, const std::string& text,
                                   std::span<const std::string_view> list, std::string& error) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (Lower(list[i]) == Lower(text)) return static_cast<int>(i);
    }
    error = std::string(option) + " \"" + text + "\" is not one of ";
    for (std::size_t i = 0; i < list.size(); ++i) error += (i ? ", " : "") + std::string(list[i]);
    return std::nullopt;
}

// A way to set pins other than --pin, and the pins of its switch that it sets.
struct Route {
    const char* option;
    const std::string* text;
    int slot;
    std::vector<int> pins;
};

std::vector<Route> RoutesOf(const EditTexts& texts) {
    using status::kSlotSwitch2, status::kSlotSwitch9;
    std::vector<Route> routes = {
        {"--code-page", &texts.codePage, kSlotSwitch2, {3, 4, 5, 6, 7, 8}},
        {"--printer-baud", &texts.printerBaud, kSlotSwitch9, {6, 7, 8}},
        {"--printer-data-bits", &texts.printerDataBits, kSlotSwitch9, {2}},
        // "None" clears pin 4 only, but pin 3 is parity too: a --pin on it with any parity
        // given says two things about one setting.
        {"--printer-parity", &texts.printerParity, kSlotSwitch9, {3, 4}},
        {"--printer-flow", &texts.printerFlow, kSlotSwitch9, {5}},
    };
    std::erase_if(routes, [](const Route& route) { return route.text->empty(); });
    return routes;
}

bool ParseSerialEdits(const EditTexts& texts, int model, SerialEdits& serial, std::string& error) {
    using namespace status;
    const struct {
        const char* option;
        const std::string& text;
        std::span<const std::string_view> list;
        std::optional<int>& index;
    } options[] = {
        {"--printer-baud", texts.printerBaud, kSwitchBaudTexts, serial.baud},
        {"--printer-data-bits", texts.printerDataBits, kDataBitsTexts, serial.dataBits},
        {"--printer-parity", texts.printerParity, kParityTexts, serial.parity},
        {"--printer-flow", texts.printerFlow, kFlowControlTexts, serial.flowControl},
    };
    for (const auto& option : options) {
        if (option.text.empty()) continue;
        if (!SerialSettingsInSwitches(model)) {
            error = std::string(option.option) + ": the " + std::string(ModelName(model)) +
                    " keeps its serial settings apart from its memory switches, and Set Status "
                    "writes only the switches; only the KTV-540/542 takes them from talq set";
            return false;
        }
        option.index = ParseSerialWord(option.option, option.text, option.list, error);
        if (!option.index) return false;
    }
    return true;
}

}  // namespace

std::optional<StatusEdits> ParseStatusEdits(const EditTexts& texts, int model, std::string& error) {
    StatusEdits edits;
    for (const std::string& text : texts.pins) {
        const auto edit = ParsePinEdit(text, error);
        if (!edit) return std::nullopt;
        edits.pins.push_back(*edit);
    }
    if (!texts.codePage.empty()) {
        edits.codePage = ParseCodePage(texts.codePage, error);
        if (!edits.codePage) return std::nullopt;
    }
    if (!ParseSerialEdits(texts, model, edits.serial, error)) return std::nullopt;
    // The later edit would silently undo the earlier one.
    for (std::size_t i = 0; i < edits.pins.size(); ++i) {
        const PinEdit& edit = edits.pins[i];
        for (const Route& route : RoutesOf(texts)) {
            if (edit.slot != route.slot ||
                std::ranges::find(route.pins, edit.pin) == route.pins.end())
                continue;
            error = "--pin " + texts.pins[i] + " and " + route.option + " " + *route.text +
                    " both set switch " +
                    std::to_string(status::kSwitchNumbers[static_cast<std::size_t>(edit.slot)]) +
                    " pin " + std::to_string(edit.pin) + "; give one of them";
            return std::nullopt;
        }
    }
    return edits;
}

void ApplyStatusEdits(status::PrinterStatus& record, const StatusEdits& edits) {
    for (const PinEdit& edit : edits.pins) {
        record.switches[static_cast<std::size_t>(edit.slot)]
            .pins[static_cast<std::size_t>(edit.pin)] = edit.value;
    }
    if (edits.codePage) status::EncodeCodePage(record, *edits.codePage);
    if (edits.serial.baud) status::EncodeBaudRate(record, *edits.serial.baud);
    if (edits.serial.dataBits) status::EncodeDataBits(record, *edits.serial.dataBits);
    if (edits.serial.parity) status::EncodeParity(record, *edits.serial.parity);
    if (edits.serial.flowControl) status::EncodeFlowControl(record, *edits.serial.flowControl);
}

}  // namespace talq::cli
