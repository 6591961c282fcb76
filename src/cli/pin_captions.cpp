#include "cli/pin_captions.h"

#include "status/switch_catalogue.h"

namespace talq::cli {
namespace {

// The memory switch page shows slot s on page s + 1.
std::optional<status::PinEntry> EntryOf(std::optional<int> model, int slot, int pin) {
    if (!model) return std::nullopt;
    return status::SwitchCatalogue::Lookup(*model, slot + 1, pin);
}

}  // namespace

std::string PinCaption(std::optional<int> model, int slot, int pin) {
    if (!model) return {};
    if (const auto entry = EntryOf(model, slot, pin)) return std::string(entry->caption);
    return std::string(status::ReservedPinCaption(pin));
}

std::string PinMeaning(std::optional<int> model, int slot, int pin, std::int32_t value) {
    const auto entry = EntryOf(model, slot, pin);
    if (!entry) return {};
    return std::string(value != 0 ? entry->valueOneCaption : entry->valueZeroCaption);
}

std::string PinChoices(std::optional<int> model, int slot, int pin) {
    const auto entry = EntryOf(model, slot, pin);
    if (!entry) return {};
    return "(1 " + std::string(entry->valueOneCaption) + ", 0 " +
           std::string(entry->valueZeroCaption) + ")";
}

}  // namespace talq::cli
