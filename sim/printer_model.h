// What sets the three KTV models apart on the wire: their names, the model-ID
// byte and the contents of their memory switches and serial settings as they
// leave the factory.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace talq::sim {

inline constexpr int kModelCount = 3;

// Memory switch numbers the printer keeps, as the commands carry them.
inline constexpr std::array<std::uint8_t, 6> kSwitchNumbers = {1, 2, 8, 9, 10, 11};

// Serial-setting items of GS ( E fn 12.
inline constexpr std::uint8_t kItemBaudRate = 0x01;
inline constexpr std::uint8_t kItemParity = 0x02;
inline constexpr std::uint8_t kItemFlowControl = 0x03;
inline constexpr std::uint8_t kItemDataBits = 0x04;
inline constexpr std::uint8_t kItemVersionSuffix = 0x08;

struct ModelProfile {
    const char* name;         // "KTV-520plus", ...
    std::uint8_t modelByte;   // answer to GS I 1
    // Factory pins of switches 1, 2, 8, 9, 10, 11 as pin 8 .. pin 1 characters.
    std::array<const char*, 6> switches;
    const char* baudRate;
    const char* parity;
    const char* flowControl;
    const char* dataBits;
    const char* versionSuffix;
};

// Profile of model 0, 1 or 2; model 0's for any other index.
const ModelProfile& ProfileOf(int model);

// 0, 1 or 2 for a model name ("KTV-520plus", "KTV-540/542", "KTV-520plusF") or
// its index written as a digit; -1 otherwise.
int ModelFromText(std::string_view text);

}  // namespace talq::sim
