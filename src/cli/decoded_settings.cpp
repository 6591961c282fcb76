#include "cli/decoded_settings.h"

#include <span>
#include <string_view>

#include "status/code_pages.h"
#include "status/serial_encoding.h"

namespace talq::cli {
namespace {

std::string Entry(std::span<const std::string_view> list, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return {};
    return std::string(list[static_cast<std::size_t>(index)]);
}

}  // namespace

std::string CodePageName(int index) {
    return Entry(status::kCodePageTexts, index);
}

std::optional<SerialWords> SerialSettingsWords(const status::PrinterStatus& status,
                                               std::optional<int> model,
                                               const status::PrinterInfo* info) {
    using namespace status;
    if (model == 1) {
        const SerialSettingsIndexes decoded = DecodeSerialSettings(status);
        return SerialWords{
            Entry(kSwitchBaudTexts, decoded.baud), Entry(kDataBitsTexts, decoded.dataBits),
            Entry(kParityTexts, decoded.parity), Entry(kFlowControlTexts, decoded.flowControl)};
    }
    if (info == nullptr || !model) return std::nullopt;
    return SerialWords{
        Entry(kQueriedBaudTexts, info->baudIndex), Entry(kDataBitsTexts, info->dataBitsIndex),
        Entry(kParityTexts, info->parityIndex), Entry(kFlowControlTexts, info->flowControlIndex)};
}

}  // namespace talq::cli
