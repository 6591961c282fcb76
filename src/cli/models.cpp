#include "cli/models.h"

#include <algorithm>
#include <cctype>
#include <span>

#include "link/connection_choices.h"

namespace talq::cli {
namespace {

bool SameWord(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// Position of `word` in `list` (letters in any case); the default when the word is empty.
std::optional<int> PositionIn(std::span<const std::string_view> list, const std::string& word,
                              int defaultPosition) {
    if (word.empty()) return defaultPosition;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (SameWord(list[i], word)) return static_cast<int>(i);
    }
    return std::nullopt;
}

std::string Listed(std::span<const std::string_view> list) {
    std::string text;
    for (std::string_view word : list) text += (text.empty() ? "" : ", ") + std::string(word);
    return text;
}

}  // namespace

std::optional<int> ParseModel(std::string_view text) {
    for (int model = 0; model < kModelCount; ++model) {
        if (text == kModelNames[static_cast<std::size_t>(model)]) return model;
    }
    if (text.size() == 1 && text[0] >= '0' && text[0] < '0' + kModelCount) return text[0] - '0';
    return std::nullopt;
}

std::string_view ModelName(int model) {
    return model >= 0 && model < kModelCount ? kModelNames[static_cast<std::size_t>(model)]
                                             : std::string_view("unknown model");
}

SettingsOrError BuildPortSettings(const std::string& portName, int model, const LineWords& words) {
    const auto bauds = link::BaudRatesOf(model);
    const auto defaultBaud = PositionIn(bauds, std::string(link::DefaultBaudRate(model)), 0);
    const auto baud = PositionIn(bauds, words.baud, *defaultBaud);
    const auto dataBits = PositionIn(kDataBitsWords, words.dataBits, 0);
    const auto parity = PositionIn(kParityWords, words.parity, 0);
    const auto stopBits = PositionIn(kStopBitsWords, words.stopBits, 0);
    const auto flow = PositionIn(kFlowWords, words.flow, 0);
    const auto refuse = [&](const char* option, const std::string& word,
                            std::span<const std::string_view> list) {
        return SettingsOrError{std::nullopt, std::string(option) + " \"" + word +
                                                 "\" is not one of " + Listed(list) + " (" +
                                                 std::string(ModelName(model)) + ")"};
    };
    if (!baud) return refuse("--baud", words.baud, bauds);
    if (!dataBits) return refuse("--data-bits", words.dataBits, kDataBitsWords);
    if (!parity) return refuse("--parity", words.parity, kParityWords);
    if (!stopBits) return refuse("--stop-bits", words.stopBits, kStopBitsWords);
    if (!flow) return refuse("--flow", words.flow, kFlowWords);

    link::PortSettings settings;
    settings.portName = portName;
    settings.baudRate = std::stoi(std::string(bauds[static_cast<std::size_t>(*baud)]));
    settings.dataBits = std::stoi(std::string(kDataBitsWords[static_cast<std::size_t>(*dataBits)]));
    settings.parity = *parity;
    settings.stopBits = *stopBits;
    settings.flowControl = *flow;
    return {settings, {}};
}

}  // namespace talq::cli
