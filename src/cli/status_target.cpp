#include "cli/status_target.h"

#include "cli/decoded_settings.h"
#include "cli/status_diff.h"

namespace talq::cli {

status::PrinterStatus SentTarget(const status::PrinterStatus& printer,
                                 const std::optional<status::PrinterStatus>& file,
                                 const StatusEdits& edits) {
    status::PrinterStatus target = file.value_or(printer);
    for (int slot = 0; slot < status::kSlotCount; ++slot) {
        for (int pin = 0; pin < status::kIntegersPerSwitch; ++pin) {
            const auto s = static_cast<std::size_t>(slot), p = static_cast<std::size_t>(pin);
            std::int32_t& value = target.switches[s].pins[p];
            value = IsSentPin(slot, pin) ? (value != 0 ? 1 : 0) : printer.switches[s].pins[p];
        }
    }
    ApplyStatusEdits(target, edits);
    return target;
}

std::optional<LineWords> NextLine(const status::PrinterStatus& printer,
                                  const status::PrinterStatus& target, int model) {
    if (!SerialSettingsInSwitches(model)) return std::nullopt;
    const auto now = SerialSettingsWords(printer, model, nullptr);
    const auto next = SerialSettingsWords(target, model, nullptr);
    if (*now == *next) return std::nullopt;
    return LineWordsFor(*next);
}

}  // namespace talq::cli
