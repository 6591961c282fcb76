// The simulated printer served on a real pseudo-terminal: what one client
// leaves behind must not reach the next.
#include <gtest/gtest.h>

#include <vector>

#include "platform/platform.h"
#include "support/pty_pair.h"
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

TEST(PtyServer, SeesTheClientsLineOnTheTerminalAndFollowsItsChanges) {
    // What the master side shows of a client's settings: no character size, and parity only
    // as PARODD; what it cannot show is taken as the printer's.
    const LineSettings factory;
    const LineSettings odd7{9600, 7, Parity::Odd, 1, Flow::DtrDsr};
    const struct {
        platform::LineSettings client;
        LineSettings printer, seen;
    } cases[] = {
        // baud, data bits, stop-bits code, parity code, flow code, as the record codes them
        {{9600, 7, 2, 1, 1}, factory, {9600, 8, Parity::Odd, 2, Flow::XonXoff}},
        {{38400, 7, 0, 2, 0}, factory, {38400, 8, Parity::None, 1, Flow::DtrDsr}},
        {{19200, 8, 2, 2, 0}, odd7, {19200, 7, Parity::None, 2, Flow::DtrDsr}},
        {{115200, 8, 0, 0, 0}, {9600, 7, Parity::Even, 1, Flow::DtrDsr},
         {115200, 7, Parity::Even, 1, Flow::DtrDsr}},
    };
    auto& os = platform::Current();
    test::PtyPair pty;
    ASSERT_TRUE(pty.Valid());
    const auto client = os.OpenDevice(pty.SlavePath());
    ASSERT_NE(client, platform::kNoDevice);
    for (const auto& c : cases) {
        SCOPED_TRACE(Describe(c.seen));
        ASSERT_TRUE(os.ApplyLineSettings(client, c.client));
        termios attributes{};
        ASSERT_EQ(::tcgetattr(pty.MasterFd(), &attributes), 0);
        EXPECT_EQ(ClientLineOnTerminal(attributes, c.printer), c.seen);
    }
    os.CloseDevice(client);

    // A printer at 9600 odd parity: silent to a client at no parity, answering as soon as
    // the same client sets odd parity, without closing the terminal (once the garbage it took
    // is forgotten, 1 s later).
    test::ServedPrinter served(0, "COM8", LineSettings{9600, 8, Parity::Odd, 1, Flow::DtrDsr});
    ASSERT_TRUE(served.Running());
    const auto h = os.OpenDevice(served.Path());
    ASSERT_NE(h, platform::kNoDevice);
    ASSERT_TRUE(os.SetTimeouts(h, {20, 10, 50, 0, 0}));
    const Bytes modelQuery{0x1D, 0x49, 0x01};
    for (const int parity : {0, 1}) {
        ASSERT_TRUE(os.ApplyLineSettings(h, {9600, 8, 0, parity, 0}));
        ASSERT_EQ(os.Write(h, modelQuery.data(), 3).count, 3);
        os.Pause(100);
        std::uint8_t reply[8] = {};
        const int got = os.Read(h, reply, sizeof reply).count;
        EXPECT_EQ(Bytes(reply, reply + got), parity == 0 ? Bytes{} : Bytes{0x20});
        os.Pause(1100);
    }
    os.CloseDevice(h);
}

}  // namespace
}  // namespace talq::sim
