#include "cli/setting_names.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

#include "cli/decoded_settings.h"
#include "cli/models.h"
#include "status/printer_status.h"
#include "status/switch_catalogue.h"

namespace talq::cli {
namespace {

// Runs of white space as one space, none at either end; with `lower`, letters in lower case.
std::string Collapsed(std::string_view text, bool lower = false) {
    std::string result;
    bool space = false;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isspace(byte)) {
            space = !result.empty();
            continue;
        }
        if (space) result += ' ';
        space = false;
        result += lower ? static_cast<char>(std::tolower(byte)) : c;
    }
    return result;
}

std::string Folded(std::string_view text) {
    return Collapsed(text, true);
}

// The settings show prints in words beside the pins, with the other names they go by: the
// Printer Setting page's labels, "Baund Rate" spelt as the page spells it.
struct DecodedName {
    SettingKind kind;
    std::string_view shown;
    std::vector<std::string_view> others;
};

const std::vector<DecodedName>& DecodedNames() {
    static const std::vector<DecodedName> names = {
        {SettingKind::kCodePage, "default code page", {}},
        {SettingKind::kBaud, "baud", {"baud rate", "baund rate"}},
        {SettingKind::kDataBits, "data bits", {}},
        {SettingKind::kParity, "parity", {}},
        {SettingKind::kFlowControl, "flow control", {}},
    };
    return names;
}

// "Paper width" of "[PIN 5] Paper width".
std::string_view BareCaption(std::string_view caption) {
    const auto end = caption.find("] ");
    return end == std::string_view::npos ? caption : caption.substr(end + 2);
}

// A folded caption of the catalogue's; its leading "*" may be left out.
bool CaptionMatches(std::string_view caption, const std::string& wanted) {
    const std::string bare = Folded(BareCaption(caption));
    return bare == wanted || (bare.starts_with('*') && bare.substr(1) == wanted);
}

// Consumes `head` DIGITS `tail` from the front of `rest`; nothing when it is not there.
std::optional<int> TakeNumbered(std::string_view& rest, std::string_view head,
                                std::string_view tail) {
    if (!rest.starts_with(head)) return std::nullopt;
    std::size_t end = head.size();
    int number = 0;
    while (end < rest.size() && end < head.size() + 3 &&
           std::isdigit(static_cast<unsigned char>(rest[end]))) {
        number = number * 10 + (rest[end++] - '0');
    }
    if (end == head.size() || rest.substr(end, tail.size()) != tail) return std::nullopt;
    rest.remove_prefix(end + tail.size());
    return number;
}

// A folded name taken apart: "switch 10 [pin 5] paper width".
struct NameParts {
    std::optional<int> switchNumber, pin;
    std::string caption;
};

NameParts Split(std::string_view name) {
    NameParts parts;
    std::string_view rest = name;
    if (rest.starts_with("memory switch ")) rest.remove_prefix(std::string_view("memory ").size());
    parts.switchNumber = TakeNumbered(rest, "switch ", " ");
    parts.pin = TakeNumbered(rest, "[pin ", "]");
    if (parts.pin && rest.starts_with(' ')) rest.remove_prefix(1);
    parts.caption = rest;
    return parts;
}

struct CataloguePin {
    int slot, pin;
    status::PinEntry entry;
};

// "switch 10 [PIN 5] Paper width": how a candidate is named, and may be given.
std::string Qualified(const CataloguePin& pin) {
    return "switch " + std::to_string(status::kSwitchNumbers[static_cast<std::size_t>(pin.slot)]) +
           " " + std::string(pin.entry.caption);
}

std::string Listed(const std::vector<CataloguePin>& pins) {
    std::string text;
    for (const CataloguePin& pin : pins) text += "\n  " + Qualified(pin);
    return text;
}

// The model's settings in the order show prints them, each caption once.
std::string SettingsOf(int model) {
    std::vector<std::string> names;
    const auto add = [&names](std::string_view name) {
        if (std::find(names.begin(), names.end(), name) == names.end()) names.emplace_back(name);
    };
    for (int slot = 0; slot < status::kSlotCount; ++slot) {
        for (int pin = 1; pin <= status::kPinsPerSwitch; ++pin) {
            if (IsCodePagePin(slot, pin)) {
                add(DecodedNames().front().shown);
            } else if (IsSerialPin(model, slot, pin)) {
                for (const auto& name : DecodedNames()) {
                    if (name.kind != SettingKind::kCodePage) add(name.shown);
                }
            } else if (const auto entry = status::SwitchCatalogue::Lookup(model, slot + 1, pin)) {
                add(BareCaption(entry->caption));
            }
        }
    }
    std::string text;
    for (const std::string& name : names) text += "\n  " + name;
    return text;
}

}  // namespace

std::optional<NamedSetting> ResolveSetting(const std::string& text, int model, std::string& error) {
    const std::string quoted = "--setting \"" + text + "\": ";
    const auto equals = text.find('=');
    const std::string typed = Collapsed(std::string_view(text).substr(0, equals));
    std::string name = Folded(typed);
    if (name.ends_with(':')) name = Collapsed(name.substr(0, name.size() - 1));
    const std::string word =
        equals == std::string::npos ? "" : Collapsed(std::string_view(text).substr(equals + 1));
    if (name.empty() || word.empty()) {
        error = quoted + "write CAPTION=WORD as talq show prints them, e.g. \"Paper width=2 inch\"";
        return std::nullopt;
    }

    const NameParts parts = Split(name);
    if (!parts.switchNumber && !parts.pin) {
        for (const DecodedName& decoded : DecodedNames()) {
            if (decoded.shown == parts.caption ||
                std::find(decoded.others.begin(), decoded.others.end(), parts.caption) !=
                    decoded.others.end()) {
                return NamedSetting{decoded.kind, 0, 0, 0, word};
            }
        }
    }
    std::vector<CataloguePin> matches, sameCaption;
    for (int slot = 0; slot < status::kSlotCount; ++slot) {
        for (int pin = 1; pin <= status::kPinsPerSwitch; ++pin) {
            const auto entry = status::SwitchCatalogue::Lookup(model, slot + 1, pin);
            if (!entry || !CaptionMatches(entry->caption, parts.caption)) continue;
            sameCaption.push_back({slot, pin, *entry});
            const int number = status::kSwitchNumbers[static_cast<std::size_t>(slot)];
            if (parts.switchNumber.value_or(number) == number && parts.pin.value_or(pin) == pin) {
                matches.push_back(sameCaption.back());
            }
        }
    }

    const std::string modelName(ModelName(model));
    if (matches.size() == 1) {
        const status::PinEntry& entry = matches.front().entry;
        const std::string folded = Folded(word);
        if (folded == Folded(entry.valueOneCaption) || folded == Folded(entry.valueZeroCaption)) {
            return NamedSetting{SettingKind::kPin,
                                matches.front().slot,
                                matches.front().pin,
                                folded == Folded(entry.valueOneCaption) ? 1 : 0,
                                {}};
        }
        error = quoted + Qualified(matches.front()) + " takes \"" +
                std::string(entry.valueOneCaption) + "\" (1) or \"" +
                std::string(entry.valueZeroCaption) + "\" (0)";
    } else if (matches.size() > 1) {
        error = quoted + "\"" + typed + "\" fits several pins of the " + modelName +
                "; name one:" + Listed(matches);
    } else if (parts.caption == Folded(status::kReservedButtonCaption)) {
        error = quoted + "a reserved pin has no words; set it with --pin SWITCH.PIN=0|1";
    } else if (!sameCaption.empty()) {
        error = quoted + "the " + modelName + " has no such pin; \"" +
                std::string(BareCaption(sameCaption.front().entry.caption)) +
                "\" is:" + Listed(sameCaption);
    } else {
        error = quoted + "the " + modelName + " has no setting \"" + typed +
                "\"; its settings:" + SettingsOf(model);
    }
    return std::nullopt;
}

}  // namespace talq::cli
