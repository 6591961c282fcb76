#include <fcntl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "platform/posix/timed_read.h"
#include "support/pty_pair.h"

namespace talq::platform::posix {
namespace {

// A peer that stops taking bytes (a printer holding its handshake lines
// inactive) ends the write after the stall bound with the count that went.
TEST(BoundedWrite, GivesUpOnAStalledDeviceAndReportsWhatWent) {
    test::PtyPair pty;
    ASSERT_TRUE(pty.Valid());
    const int fd = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    const std::vector<std::uint8_t> data(1 << 20, 0x55);  // far more than the line buffers

    const auto start = std::chrono::steady_clock::now();
    const IoResult result = BoundedWrite(fd, data.data(), static_cast<int>(data.size()), 60);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start).count();
    EXPECT_FALSE(result.ok);
    EXPECT_GT(result.count, 0);
    EXPECT_LT(result.count, static_cast<int>(data.size()));
    EXPECT_GE(ms, 55);
    EXPECT_LT(ms, 1000);
    close(fd);
}

TEST(BoundedWrite, ReportsAHangUp) {
    test::PtyPair pty;
    ASSERT_TRUE(pty.Valid());
    const int fd = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    pty.CloseMaster();
    const std::uint8_t byte = 0x1B;
    const IoResult result = BoundedWrite(fd, &byte, 1, 60);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.count, 0);
    close(fd);
}

}  // namespace
}  // namespace talq::platform::posix
