#include "cli/status_text.h"

#include <iomanip>

#include "cli/decoded_settings.h"
#include "cli/models.h"
#include "cli/pin_captions.h"
#include "status/code_pages.h"

namespace talq::cli {
namespace {

std::string OrNone(const std::string& word) {
    return word.empty() ? "(none)" : word;
}

void PrintSwitch(std::ostream& out, const status::PrinterStatus& record, std::optional<int> model,
                 int slot) {
    const auto& pins = record.switches[static_cast<std::size_t>(slot)].pins;
    out << "Memory switch " << status::kSwitchNumbers[static_cast<std::size_t>(slot)] << "\n";
    for (int pin = 1; pin <= status::kPinsPerSwitch; ++pin) {
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
    const int codePage = status::DecodeCodePage(record);
    out << "Default code page: " << codePage << " " << OrNone(CodePageName(codePage)) << "\n";
    if (const auto serial = SerialSettingsWords(record, model, info)) {
        out << "Serial settings: baud " << OrNone(serial->baud) << ", data bits "
            << OrNone(serial->dataBits) << ", parity " << OrNone(serial->parity)
            << ", flow control " << OrNone(serial->flowControl) << "\n";
    }
    if (info != nullptr) {
        out << "Firmware version: " << info->firmwareVersion << "\n";
        out << "Model name: " << info->modelName << "\n";
    }
    out.flush();
}

}  // namespace talq::cli
