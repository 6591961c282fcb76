#include "cli/status_diff.h"

#include <string>

#include "cli/pin_captions.h"

namespace talq::cli {

using status::kIntegersPerSwitch;
using status::kSlotCount;

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

void PrintChanges(std::ostream& out, const std::vector<PinChange>& changes,
                  std::optional<int> model) {
    for (const PinChange& change : changes) {
        out << "switch " << status::kSwitchNumbers[static_cast<std::size_t>(change.slot)] << " pin "
            << change.pin << ": " << change.before << " -> " << change.after;
        if (change.pin == 0) {
            out << "  (no pin)";
        } else if (const std::string caption = PinCaption(model, change.slot, change.pin);
                   !caption.empty()) {
            out << "  " << caption;
            const std::string was = PinMeaning(model, change.slot, change.pin, change.before);
            const std::string now = PinMeaning(model, change.slot, change.pin, change.after);
            if (!was.empty() && was != now) out << ": " << was << " -> " << now;
        }
        out << "\n";
    }
    out.flush();
}

}  // namespace talq::cli
