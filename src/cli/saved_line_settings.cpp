#include "cli/saved_line_settings.h"

#include <vector>

#include "platform/port_mapping.h"
#include "platform/ports_file.h"
#include "platform/read_regular_file.h"

namespace talq::cli {

std::optional<SavedLine> SavedLineOf(const std::string& port) {
    for (const std::string& file : {platform::UserPortsFile(), platform::SystemPortsFile()}) {
        if (file.empty()) continue;
        std::string text(platform::kMaxPortsFileBytes + 1, '\0');
        const platform::RegularFileRead read = platform::ReadRegularFile(
            file, {reinterpret_cast<std::uint8_t*>(text.data()), text.size()});
        if (!read.ok() || read.count > platform::kMaxPortsFileBytes) continue;
        text.resize(read.count);
        for (const auto& kept : platform::ParsePortsFile(text).lineSettings) {
            if (kept.port != port) continue;
            const auto& w = kept.words;
            return SavedLine{{w[0], w[1], w[2], w[3], w[4]}, file, kept.line};
        }
    }
    return std::nullopt;
}

LineWords LineWordsFor(const std::string& port, const LineWords& given,
                       std::optional<SavedLine>* saved) {
    const bool anyGiven = !given.baud.empty() || !given.dataBits.empty() || !given.parity.empty() ||
                          !given.stopBits.empty() || !given.flow.empty();
    std::optional<SavedLine> found;
    if (!anyGiven && port.rfind("COM", 0) == 0) found = SavedLineOf(port);
    if (saved != nullptr) *saved = found;
    return found ? found->words : given;
}

std::vector<std::string> LineSettingsWords(const link::PortSettings& settings) {
    const auto word = [](auto list, int code) {
        return code >= 0 && code < static_cast<int>(list.size())
                   ? std::string(list[static_cast<std::size_t>(code)])
                   : std::to_string(code);
    };
    return {std::to_string(settings.baudRate), std::to_string(settings.dataBits),
            word(kParityWords, settings.parity), word(kStopBitsWords, settings.stopBits),
            word(kFlowWords, settings.flowControl)};
}

std::string JoinedWords(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
    return text;
}

platform::LineSettings LineOf(const link::PortSettings& settings) {
    return {settings.baudRate, settings.dataBits, settings.stopBits, settings.parity,
            settings.flowControl};
}

void SetLine(link::PortSettings& settings, const platform::LineSettings& line) {
    settings.baudRate = line.baudRate;
    settings.dataBits = line.dataBits;
    settings.stopBits = line.stopBits;
    settings.parity = line.parity;
    settings.flowControl = line.flowControl;
}

link::PortSettings RecordOf(const std::string& port, const platform::LineSettings& line) {
    link::PortSettings settings;
    settings.portName = port;
    SetLine(settings, line);
    return settings;
}

bool SameLine(const platform::LineSettings& a, const platform::LineSettings& b) {
    return a.baudRate == b.baudRate && a.dataBits == b.dataBits && a.stopBits == b.stopBits &&
           a.parity == b.parity && a.flowControl == b.flowControl;
}

}  // namespace talq::cli
