// Every byte string sent to the printer, with its exact length.
#pragma once

#include <array>
#include <cstdint>

namespace talq::protocol {

template <std::size_t N>
using Command = std::array<std::uint8_t, N>;

inline constexpr Command<2> kInitialize{0x1B, 0x40};                  // ESC @
inline constexpr Command<3> kSelectPeripheralDevice{0x1B, 0x3D, 0x01};  // ESC = 1
inline constexpr Command<3> kDisableAutomaticStatusBack{0x1D, 0x61, 0x00};  // GS a 0
inline constexpr Command<3> kModelIdQuery{0x1D, 0x49, 0x01};           // GS I 1
inline constexpr Command<3> kFirmwareVersionQuery{0x1D, 0x49, 0x41};   // GS I 0x41
inline constexpr Command<3> kMakerNameQuery{0x1D, 0x49, 0x42};         // GS I 0x42
inline constexpr Command<3> kModelNameQuery{0x1D, 0x49, 0x43};         // GS I 0x43
// GS ( E fn 1 "IN" / fn 2 "OUT"
inline constexpr Command<8> kEnterUserSettingMode{0x1D, 0x28, 0x45, 0x03, 0x00, 0x01, 0x49, 0x4E};
inline constexpr Command<9> kEndUserSettingMode{0x1D, 0x28, 0x45, 0x04, 0x00,
                                                0x02, 0x4F, 0x55, 0x54};
inline constexpr Command<7> kTestPrint{0x1D, 0x28, 0x41, 0x02, 0x00, 0x01, 0x02};  // GS ( A

// Serial interface items of the serial-setting query.
enum SerialItem : std::uint8_t {
    kItemBaudRate = 0x01,
    kItemParity = 0x02,
    kItemFlowControl = 0x03,
    kItemDataBits = 0x04,
    kItemVersionSuffix = 0x08,
};

// GS ( E fn 4 n: the eight pins of memory switch n.
constexpr Command<7> MemorySwitchQuery(std::uint8_t n) {
    return {0x1D, 0x28, 0x45, 0x02, 0x00, 0x04, n};
}

// GS ( E fn 12 k: serial interface item k.
constexpr Command<7> SerialSettingQuery(std::uint8_t k) {
    return {0x1D, 0x28, 0x45, 0x02, 0x00, 0x0C, k};
}

// GS ( E fn 3 n c8..c1. Starts from the switch's template ("22200222" for
// switch 1, whose pins 4 and 5 alone are ours to change; "00000000" for the
// others) and puts "1" for every such pin whose value is non-zero.
// `pins[p]` is pin p (1..8); pins[0] is never sent.
Command<15> BuildSetMemorySwitch(std::uint8_t n, const std::array<std::int32_t, 9>& pins);

}  // namespace talq::protocol
