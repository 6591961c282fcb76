#include "cli/status_edits.h"

#include <algorithm>
#include <cctype>
#include <span>
#include <string_view>

#include "cli/decoded_settings.h"
#include "cli/models.h"
#include "cli/setting_names.h"
#include "cli/status_diff.h"
#include "status/code_pages.h"
#include "status/serial_encoding.h"
#include "status/switch_catalogue.h"

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
// case; a name that fits several entries is refused. `quoted` starts every error.
std::optional<int> ParseCodePage(const std::string& text, const std::string& quoted,
                                 std::string& error) {
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
std::optional<int> ParseSerialWord(const std::string& prefix, const std::string& text,
                                   std::span<const std::string_view> list, std::string& error) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (Lower(list[i]) == Lower(text)) return static_cast<int>(i);
    }
    error = prefix + "\"" + text + "\" is not one of ";
    for (std::size_t i = 0; i < list.size(); ++i) error += (i ? ", " : "") + std::string(list[i]);
    return std::nullopt;
}

// A setting held in several pins: the option that sets it, its pins and, for a serial
// setting, its list and where its index goes.
struct DecodedShape {
    const char* option;
    int slot;
    std::vector<int> pins;
    std::span<const std::string_view> list = {};
    std::optional<int> SerialEdits::*index = nullptr;
};

const DecodedShape& ShapeOf(SettingKind kind) {
    using namespace status;
    static const DecodedShape codePage{"--code-page", kSlotSwitch2, {3, 4, 5, 6, 7, 8}};
    static const DecodedShape baud{
        "--printer-baud", kSlotSwitch9, {6, 7, 8}, kSwitchBaudTexts, &SerialEdits::baud};
    static const DecodedShape dataBits{
        "--printer-data-bits", kSlotSwitch9, {2}, kDataBitsTexts, &SerialEdits::dataBits};
    // "None" clears pin 4 only, but pin 3 is parity too: a --pin on it with any parity given
    // says two things about one setting.
    static const DecodedShape parity{
        "--printer-parity", kSlotSwitch9, {3, 4}, kParityTexts, &SerialEdits::parity};
    static const DecodedShape flow{
        "--printer-flow", kSlotSwitch9, {5}, kFlowControlTexts, &SerialEdits::flowControl};
    switch (kind) {
        case SettingKind::kBaud:
            return baud;
        case SettingKind::kDataBits:
            return dataBits;
        case SettingKind::kParity:
            return parity;
        case SettingKind::kFlowControl:
            return flow;
        default:
            return codePage;
    }
}

// Where an edit of a decoded setting comes from: its option, or one --setting.
struct Source {
    SettingKind kind;
    std::string who;    // "--code-page", or "--setting \"default code page=PC850\""
    std::string value;  // the word to judge
    bool setting;

    std::string Label() const { return setting ? who : who + " " + value; }
};

bool ParseDecoded(const Source& source, int model, StatusEdits& edits, std::string& error) {
    if (source.kind == SettingKind::kCodePage) {
        const std::string quoted =
            source.setting ? source.who + ": " : source.who + " \"" + source.value + "\": ";
        edits.codePage = ParseCodePage(source.value, quoted, error);
        return edits.codePage.has_value();
    }
    if (!SerialSettingsInSwitches(model)) {
        error = source.who + ": the " + std::string(ModelName(model)) +
                " keeps its serial settings apart from its memory switches, and Set Status "
                "writes only the switches; only the KTV-540/542 takes them from talq set";
        return false;
    }
    const DecodedShape& shape = ShapeOf(source.kind);
    std::optional<int>& index = edits.serial.*shape.index;
    index = ParseSerialWord(source.setting ? source.who + ": " : source.who + " ", source.value,
                            shape.list, error);
    return index.has_value();
}

// One edit and the pins of one switch that it sets.
struct Route {
    std::string label;  // "--pin 2.3=1", "--code-page PC850", "--setting \"Font=B Font (9x24)\""
    int slot;
    std::vector<int> pins;
    bool isPin;
};

// Pins the memory switch page shows as "Reserved" that hold no setting of the printer setting
// page either: the maker gives them no meaning.
bool IsReservedPin(int model, int slot, int pin) {
    return !status::SwitchCatalogue::Lookup(model, slot + 1, pin) && !IsCodePagePin(slot, pin) &&
           !IsSerialPin(model, slot, pin);
}

std::string SwitchPinText(int slot, int pin) {
    return "switch " + std::to_string(status::kSwitchNumbers[static_cast<std::size_t>(slot)]) +
           " pin " + std::to_string(pin);
}

}  // namespace

std::optional<StatusEdits> ParseStatusEdits(const EditTexts& texts, int model, std::string& error) {
    StatusEdits edits;
    std::vector<Route> routes;
    for (const std::string& text : texts.pins) {
        const auto edit = ParsePinEdit(text, error);
        if (!edit) return std::nullopt;
        edits.pins.push_back(*edit);
        routes.push_back({"--pin " + text, edit->slot, {edit->pin}, true});
        if (IsReservedPin(model, edit->slot, edit->pin)) {
            edits.warnings.push_back("warning: --pin " + text + ": " +
                                     SwitchPinText(edit->slot, edit->pin) + " is reserved on the " +
                                     std::string(ModelName(model)) + " (\"" +
                                     std::string(status::ReservedPinCaption(edit->pin)) +
                                     "\" in talq show); it is set as given");
        }
    }
    std::vector<Source> decoded;
    for (const auto& [kind, text] : {std::pair{SettingKind::kCodePage, &texts.codePage},
                                     std::pair{SettingKind::kBaud, &texts.printerBaud},
                                     std::pair{SettingKind::kDataBits, &texts.printerDataBits},
                                     std::pair{SettingKind::kParity, &texts.printerParity},
                                     std::pair{SettingKind::kFlowControl, &texts.printerFlow}}) {
        if (!text->empty()) decoded.push_back({kind, ShapeOf(kind).option, *text, false});
    }
    for (const std::string& text : texts.settings) {
        const auto named = ResolveSetting(text, model, error);
        if (!named) return std::nullopt;
        const std::string who = "--setting \"" + text + "\"";
        if (named->kind != SettingKind::kPin) {
            decoded.push_back({named->kind, who, named->word, true});
            continue;
        }
        edits.pins.push_back({named->slot, named->pin, named->value});
        routes.push_back({who, named->slot, {named->pin}, false});
    }
    for (const Source& source : decoded) {
        if (!ParseDecoded(source, model, edits, error)) return std::nullopt;
        const DecodedShape& shape = ShapeOf(source.kind);
        routes.push_back({source.Label(), shape.slot, shape.pins, false});
    }
    // The later edit would silently undo the earlier one.
    for (std::size_t i = 0; i < routes.size(); ++i) {
        for (std::size_t j = i + 1; j < routes.size(); ++j) {
            if ((routes[i].isPin && routes[j].isPin) || routes[i].slot != routes[j].slot) continue;
            for (int pin : routes[i].pins) {
                if (std::ranges::find(routes[j].pins, pin) == routes[j].pins.end()) continue;
                error = routes[i].label + " and " + routes[j].label + " both set " +
                        SwitchPinText(routes[i].slot, pin) + "; give one of them";
                return std::nullopt;
            }
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
