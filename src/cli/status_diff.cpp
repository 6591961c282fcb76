#include "cli/status_diff.h"

#include <string>

#include "cli/decoded_settings.h"
#include "cli/pin_captions.h"
#include "status/code_pages.h"

namespace talq::cli {

using status::kIntegersPerSwitch;
using status::kSlotCount;

namespace {

// "switch 10 pin 5: 0 -> 1"
std::string PinText(const PinChange& change) {
    return "switch " +
           std::to_string(status::kSwitchNumbers[static_cast<std::size_t>(change.slot)]) + " pin " +
           std::to_string(change.pin) + ": " + std::to_string(change.before) + " -> " +
           std::to_string(change.after);
}

// "[switch 2 pin 4: 1 -> 0, pin 5: 0 -> 1]": the changes that `belongs` picks, all of one switch.
template <typename Predicate>
std::string PinsInBrackets(const std::vector<PinChange>& changes, Predicate belongs) {
    std::string text;
    for (const PinChange& change : changes) {
        if (!belongs(change)) continue;
        const std::string pin = PinText(change);
        text += text.empty() ? "[" + pin : ", " + pin.substr(pin.find("pin "));
    }
    return text + "]";
}

void PrintMeaning(std::ostream& out, const PinChange& change, std::optional<int> model) {
    if (change.pin == 0) {
        out << "  (no pin)";
        return;
    }
    const std::string caption = PinCaption(model, change.slot, change.pin);
    if (caption.empty()) return;
    out << "  " << caption;
    const std::string was = PinMeaning(model, change.slot, change.pin, change.before);
    const std::string now = PinMeaning(model, change.slot, change.pin, change.after);
    if (!was.empty() && was != now) out << ": " << was << " -> " << now;
}

}  // namespace

std::vector<PinChange> ExactDifferences(const status::PrinterStatus& before,
                                        const status::PrinterStatus& after) {
    std::vector<PinChange> changes;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        for (int pin = 0; pin < kIntegersPerSwitch; ++pin) {
            const auto s = static_cast<std::size_t>(slot), p = static_cast<std::size_t>(pin);
            const std::int32_t a = before.switches[s].pins[p], b = after.switches[s].pins[p];
            if (a != b) changes.push_back({slot, pin, a, b});
        }
    }
    return changes;
}

bool IsSentPin(int slot, int pin) {
    if (pin < 1 || pin >= kIntegersPerSwitch) return false;
    return slot != status::kSlotSwitch1 || pin == 4 || pin == 5;
}

std::vector<PinChange> SentDifferences(const status::PrinterStatus& before,
                                       const status::PrinterStatus& after) {
    std::vector<PinChange> changes;
    for (const PinChange& change : ExactDifferences(before, after)) {
        const std::int32_t a = change.before != 0, b = change.after != 0;
        if (IsSentPin(change.slot, change.pin) && a != b) {
            changes.push_back({change.slot, change.pin, a, b});
        }
    }
    return changes;
}

void PrintChanges(std::ostream& out, const status::PrinterStatus& before,
                  const status::PrinterStatus& after, const std::vector<PinChange>& changes,
                  std::optional<int> model) {
    bool codePageShown = false, serialShown = false;
    for (const PinChange& change : changes) {
        if (IsCodePagePin(change.slot, change.pin)) {
            if (!codePageShown) {
                const int was = status::DecodeCodePage(before), now = status::DecodeCodePage(after);
                out << "default code page: "
                    << (was == now ? "unchanged, " + CodePageText(now)
                                   : CodePageText(was) + " -> " + CodePageText(now))
                    << "  "
                    << PinsInBrackets(
                           changes, [](const PinChange& c) { return IsCodePagePin(c.slot, c.pin); })
                    << "\n";
            }
            codePageShown = true;
        } else if (IsSerialPin(model, change.slot, change.pin)) {
            if (!serialShown) {
                const auto was = SerialSettingsWords(before, model, nullptr);
                const auto now = SerialSettingsWords(after, model, nullptr);
                out << "printer's serial settings: "
                    << (*was == *now ? "unchanged, " + SerialSettingsText(*now)
                                     : SerialSettingsText(*now, &*was))
                    << "  "
                    << PinsInBrackets(changes,
                                      [model](const PinChange& c) {
                                          return IsSerialPin(model, c.slot, c.pin);
                                      })
                    << "\n";
            }
            serialShown = true;
        } else {
            out << PinText(change);
            PrintMeaning(out, change, model);
            out << "\n";
        }
    }
    out.flush();
}

}  // namespace talq::cli
