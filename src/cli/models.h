// The printer models as the connection dialog lists them, with the words each accepts for the
// line settings and the dialog's defaults.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "link/port_settings.h"

namespace talq::cli {

inline constexpr int kModelCount = 3;
inline constexpr std::array<std::string_view, kModelCount> kModelNames = {
    "KTV-520plus", "KTV-540/542", "KTV-520plusF"};

// A model by its listed name or its index ("0".."2").
std::optional<int> ParseModel(std::string_view text);
std::string_view ModelName(int model);

// The dialog's other lists; a word's position is the code the connection record holds,
// except data bits and baud, which hold the number itself.
inline constexpr std::array<std::string_view, 2> kDataBitsWords = {"8", "7"};
inline constexpr std::array<std::string_view, 3> kParityWords = {"None", "Odd", "Even"};
inline constexpr std::array<std::string_view, 3> kStopBitsWords = {"1", "1.5", "2"};
inline constexpr std::array<std::string_view, 2> kFlowWords = {"Hardware", "Xon/Xoff"};

// The line settings as words; empty fields take the dialog's defaults for the model.
struct LineWords {
    std::string baud, dataBits, parity, stopBits, flow;
};

// Builds the connection record for `portName`, or says which word the model's list lacks.
struct SettingsOrError {
    std::optional<link::PortSettings> settings;
    std::string error;
};
SettingsOrError BuildPortSettings(const std::string& portName, int model, const LineWords& words);

}  // namespace talq::cli
