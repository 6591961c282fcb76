#include "cli/status_edits.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "cli/status_diff.h"
#include "status/code_pages.h"

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
        error = quoted + "fits several code pages; give its number";
    }
    return std::nullopt;
}

}  // namespace

std::optional<StatusEdits> ParseStatusEdits(const std::vector<std::string>& pinTexts,
                                            const std::string& codePageText, std::string& error) {
    StatusEdits edits;
    for (const std::string& text : pinTexts) {
        const auto edit = ParsePinEdit(text, error);
        if (!edit) return std::nullopt;
        edits.pins.push_back(*edit);
    }
    if (!codePageText.empty()) {
        edits.codePage = ParseCodePage(codePageText, error);
        if (!edits.codePage) return std::nullopt;
    }
    return edits;
}

void ApplyStatusEdits(status::PrinterStatus& record, const StatusEdits& edits) {
    for (const PinEdit& edit : edits.pins) {
        record.switches[static_cast<std::size_t>(edit.slot)]
            .pins[static_cast<std::size_t>(edit.pin)] = edit.value;
    }
    if (edits.codePage) status::EncodeCodePage(record, *edits.codePage);
}

}  // namespace talq::cli
