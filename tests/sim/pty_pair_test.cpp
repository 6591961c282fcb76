#include "support/pty_pair.h"

#include <gtest/gtest.h>

#include "platform/platform.h"

namespace talq::test {
namespace {

TEST(PtyPair, CarriesBytesBothWaysThroughTheRealBackend) {
    PtyPair pty;
    ASSERT_TRUE(pty.Valid());
    auto& os = platform::Current();
    const auto h = os.OpenDevice(pty.SlavePath());
    ASSERT_NE(h, platform::kNoDevice);
    ASSERT_TRUE(os.SetTimeouts(h, {10, 10, 10, 0, 0}));

    const std::uint8_t query[] = {0x1D, 0x49, 0x01};
    ASSERT_EQ(os.Write(h, query, 3).count, 3);
    EXPECT_EQ(pty.Read(16, 1000), (std::vector<std::uint8_t>{0x1D, 0x49, 0x01}));

    ASSERT_TRUE(pty.Write({0x5F, 0x4B, 0x00}));
    std::uint8_t buffer[16] = {};
    EXPECT_EQ(os.Read(h, buffer, 16).count, 3);
    EXPECT_EQ(pty.Read(1, 20), std::vector<std::uint8_t>{}) << "nothing echoed: raw mode";
    os.CloseDevice(h);
}

}  // namespace
}  // namespace talq::test
