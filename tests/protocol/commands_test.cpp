#include "protocol/commands.h"

#include <gtest/gtest.h>

#include <vector>

namespace talq::protocol {
namespace {

template <std::size_t N>
std::vector<std::uint8_t> V(const Command<N>& c) {
    return {c.begin(), c.end()};
}

std::array<std::int32_t, 9> Pins(std::initializer_list<int> set, int value = 1) {
    std::array<std::int32_t, 9> pins{};
    for (int p : set) pins[static_cast<std::size_t>(p)] = value;
    return pins;
}

TEST(Commands, SetMemorySwitchPutsPinEightFirst) {
    EXPECT_EQ(V(BuildSetMemorySwitch(0x02, Pins({1, 8}))),
              (std::vector<std::uint8_t>{0x1D, 0x28, 0x45, 0x0A, 0x00, 0x03, 0x02, 0x31, 0x30,
                                         0x30, 0x30, 0x30, 0x30, 0x30, 0x31}));
    // Any non-zero value (a -48 from a lost reply, say) is sent as "1".
    EXPECT_EQ(V(BuildSetMemorySwitch(0x0B, Pins({1, 2, 3, 4, 5, 6, 7, 8}, -48))),
              (std::vector<std::uint8_t>{0x1D, 0x28, 0x45, 0x0A, 0x00, 0x03, 0x0B, '1', '1', '1',
                                         '1', '1', '1', '1', '1'}));
}

TEST(Commands, SwitchOneChangesOnlyPinsFourAndFive) {
    EXPECT_EQ(V(BuildSetMemorySwitch(0x01, Pins({4, 5}))),
              (std::vector<std::uint8_t>{0x1D, 0x28, 0x45, 0x0A, 0x00, 0x03, 0x01, 0x32, 0x32,
                                         0x32, 0x31, 0x31, 0x32, 0x32, 0x32}));
    EXPECT_EQ(V(BuildSetMemorySwitch(0x01, Pins({1, 2, 3, 6, 7, 8}))),
              (std::vector<std::uint8_t>{0x1D, 0x28, 0x45, 0x0A, 0x00, 0x03, 0x01, '2', '2', '2',
                                         '0', '0', '2', '2', '2'}));
}

TEST(Commands, FixedCommandsHaveTheirLengths) {
    EXPECT_EQ(kInitialize.size(), 2u);
    EXPECT_EQ(kEnterUserSettingMode.size(), 8u);
    EXPECT_EQ(kEndUserSettingMode.size(), 9u);
    EXPECT_EQ(kDisableAutomaticStatusBack[2], 0x00);
    EXPECT_EQ(V(MemorySwitchQuery(0x0A)),
              (std::vector<std::uint8_t>{0x1D, 0x28, 0x45, 0x02, 0x00, 0x04, 0x0A}));
    EXPECT_EQ(V(SerialSettingQuery(kItemVersionSuffix)),
              (std::vector<std::uint8_t>{0x1D, 0x28, 0x45, 0x02, 0x00, 0x0C, 0x08}));
}

}  // namespace
}  // namespace talq::protocol
