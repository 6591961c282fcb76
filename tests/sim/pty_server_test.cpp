// The simulated printer served on a real pseudo-terminal: what one client
// leaves behind must not reach the next.
#include <gtest/gtest.h>

#include <vector>

#include "platform/platform.h"
#include "support/served_printer.h"

namespace talq::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

platform::DeviceHandle OpenClient(const std::string& path) {
    auto& os = platform::Current();
    const auto h = os.OpenDevice(path);
    if (h == platform::kNoDevice) return h;
    EXPECT_TRUE(os.ApplyLineSettings(h, {19200, 8, 0, 0, 0}));
    EXPECT_TRUE(os.SetTimeouts(h, {20, 10, 50, 0, 0}));
    return h;
}

TEST(PtyServer, AClosingClientTakesItsHalfCommandAndUnreadRepliesWithIt) {
    test::ServedPrinter served(0, "COM8");
    ASSERT_TRUE(served.Running());
    auto& os = platform::Current();
    const std::string path = platform::DevicePathForPort("COM8");

    // Far more queries than the reply queue holds, never read, then a command
    // announcing 65,535 bytes of data that never come.
    Bytes flood;
    for (int i = 0; i < 3 * static_cast<int>(kMaxQueuedReplyBytes); ++i) {
        flood.insert(flood.end(), {0x1D, 0x49, 0x01});
    }
    flood.insert(flood.end(), {0x1D, 0x28, 0x45, 0xFF, 0xFF});
    const auto first = OpenClient(path);
    ASSERT_NE(first, platform::kNoDevice);
    ASSERT_EQ(os.Write(first, flood.data(), static_cast<int>(flood.size())).count,
              static_cast<int>(flood.size()));
    os.CloseDevice(first);
    os.Pause(100);  // a client that reopens at once may lose its first command with the old state

    const auto second = OpenClient(path);
    ASSERT_NE(second, platform::kNoDevice);
    const Bytes makerQuery{0x1D, 0x49, 0x42};
    ASSERT_EQ(os.Write(second, makerQuery.data(), 3).count, 3);
    os.Pause(100);
    std::uint8_t reply[64] = {};
    const int got = os.Read(second, reply, sizeof reply).count;
    os.CloseDevice(second);
    EXPECT_EQ(Bytes(reply, reply + got), (Bytes{0x5F, 'K', 'E', 'S', 'T', 'R', 'U', 'M', 0x00}));
}

}  // namespace
}  // namespace talq::sim
