#include "cli/status_text.h"

#include <array>
#include <iomanip>

#include "cli/decoded_settings.h"
#include "cli/models.h"
#include "cli/pin_captions.h"
#include "status/code_pages.h"

namespace talq::cli {
namespace {

// "[pin 3: 0, pin 4: 1, ...]" for the pins `first`..8 of a switch.
std::string PinValues(const std::array<std::int32_t, status::kIntegersPerSwitch>& pins, int first) {
    std::string text;
    for (int pin = first; pin <= status::kPinsPerSwitch; ++pin) {
        text += (text.empty() ? "[pin " : ", pin ") + std::to_string(pin) + ": " +
                std::to_string(pins[static_cast<std::size_t>(pin)]);
    }
    return text + "]";
}

// The pins that hold a decoded setting, from `first` to pin 8, as one line for the setting.
void PrintSettingPins(std::ostream& out,
                      const std::array<std::int32_t, status::kIntegersPerSwitch>& pins, int first,
                      const std::string& setting) {
    out << std::left << std::setw(14) << ("  pins " + std::to_string(first) + "-8") << setting
        << "  " << PinValues(pins, first) << "\n";
}

void PrintSwitch(std::ostream& out, const status::PrinterStatus& record, std::optional<int> model,
                 int slot) {
    const auto& pins = record.switches[static_cast<std::size_t>(slot)].pins;
    out << "Memory switch " << status::kSwitchNumbers[static_cast<std::size_t>(slot)] << "\n";
    for (int pin = 1; pin <= status::kPinsPerSwitch; ++pin) {
        if (IsCodePagePin(slot, pin)) {
            PrintSettingPins(out, pins, pin,
                             "default code page: " + CodePageText(status::DecodeCodePage(record)));
            break;
        }
        if (IsSerialPin(model, slot, pin)) {
            const auto words = SerialSettingsWords(record, model, nullptr);
            PrintSettingPins(out, pins, pin,
                             "printer's serial settings: " + SerialSettingsText(*words));
            break;
        }
        const std::int32_t value = pins[static_cast<std::size_t>(pin)];
        std::string line = "  pin " + std::to_string(pin) + "  " + std::to_string(value);
        const std::string caption = PinCaption(model, slot, pin);
        if (!caption.empty()) {
            out << std::left << std::setw(14) << line;
            line = caption;
            const std::string meaning = PinMeaning(model, slot, pin, value);
            if (!meaning.empty()) {
                out << std::setw(54) << (line + ": " + meaning);
                line = PinChoices(model, slot, pin);
            }
        }
        out << line << "\n";
    }
}

}  // namespace

void PrintStatus(std::ostream& out, const status::PrinterStatus& record, std::optional<int> model,
                 const status::PrinterInfo* info) {
    out << "Model: " << (model ? std::string(ModelName(*model)) : "(not given: no captions)")
        << "\n";
    for (int slot = 0; slot < status::kSlotCount; ++slot) PrintSwitch(out, record, model, slot);
    out << "Default code page: " << CodePageText(status::DecodeCodePage(record)) << "\n";
    if (const auto serial = SerialSettingsWords(record, model, info)) {
        out << "Serial settings: " << SerialSettingsText(*serial) << "\n";
    }
    if (info != nullptr) {
        out << "Firmware version: " << info->firmwareVersion << "\n";
        out << "Model name: " << info->modelName << "\n";
    }
    out.flush();
}

}  // namespace talq::cli
