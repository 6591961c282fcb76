// The serial port on real pseudo-terminals: the time-out semantics, exclusive
// use and the line settings as the device sees them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <termios.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "link/printer_port.h"
#include "support/com_port.h"
#include "support/pty_pair.h"

namespace talq::link {
namespace {

using Clock = std::chrono::steady_clock;

double ElapsedMs(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

struct SerialPty : ::testing::Test {
    test::PtyPair pty;
    PrinterPort port;

    void SetUp() override {
        ASSERT_TRUE(pty.Valid());
        setenv("TALQ_COM3", pty.SlavePath().c_str(), 1);
    }
    void TearDown() override { unsetenv("TALQ_COM3"); }

    static PortSettings Com3(int baud = 19200, int stopBits = 0, int flow = 0) {
        PortSettings settings = test::ComSettings("COM3", baud);
        settings.stopBits = stopBits;
        settings.flowControl = flow;
        return settings;
    }
};

TEST_F(SerialPty, ReadsEndAtTheirTimeOutsWithoutSpinning) {
    ASSERT_EQ(port.Configure(Com3()), 1);
    ASSERT_EQ(port.Open(), 1);
    std::uint8_t buffer[16] = {};

    auto start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 1, 1000), 0);
    // Never early; the upper bound leaves room for a loaded machine.
    double elapsed = ElapsedMs(start);
    EXPECT_GE(elapsed, 19);
    EXPECT_LT(elapsed, 45);

    ASSERT_TRUE(pty.Write({0x5F, 0x4B, 0x00}));
    start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 16, 1000), 3);
    elapsed = ElapsedMs(start);
    EXPECT_GE(elapsed, 9);
    EXPECT_LT(elapsed, 35);
    EXPECT_EQ(buffer[1], 0x4B);

    // Count reached: the read ends at once.
    ASSERT_TRUE(pty.Write({1, 2}));
    start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 2, 1000), 2);
    EXPECT_LT(ElapsedMs(start), 8);

    const std::uint8_t query[] = {0x1D, 0x49, 0x01};
    EXPECT_EQ(port.Write(query, 3), 3);
    EXPECT_EQ(pty.Read(3, 500), (std::vector<std::uint8_t>{0x1D, 0x49, 0x01}));
}

TEST_F(SerialPty, GuardsMoveNothingAndASecondOpenLeavesTheDeviceAlone) {
    std::uint8_t byte = 0x40;
    ASSERT_EQ(port.Configure(Com3()), 1);
    EXPECT_EQ(port.Write(&byte, 1), 0);  // not open yet
    EXPECT_EQ(port.Read(&byte, 1, 1000), 0);
    ASSERT_EQ(port.Open(), 1);
    EXPECT_EQ(port.Write(&byte, 0), 0);
    EXPECT_EQ(port.Write(nullptr, 1), 0);
    EXPECT_EQ(port.Read(&byte, 0, 1000), 0);
    EXPECT_EQ(port.Read(nullptr, 1, 1000), 0);

    // Bytes waiting survive a second Open: it does not purge or reconfigure.
    ASSERT_TRUE(pty.Write({0x20}));
    usleep(5000);
    EXPECT_EQ(port.Open(), 1);
    EXPECT_EQ(port.Read(&byte, 1, 1000), 1);
    EXPECT_EQ(byte, 0x20);
}

TEST_F(SerialPty, AnOpenPortCannotBeTakenByAnyoneElse) {
    ASSERT_EQ(port.Configure(Com3()), 1);
    ASSERT_EQ(port.Open(), 1);

    PrinterPort second;
    ASSERT_EQ(second.Configure(Com3()), 1);
    EXPECT_EQ(second.Open(), 0);

    // Another process fares no better, even as root.
    const pid_t child = fork();
    if (child == 0) {
        PrinterPort other;
        other.Configure(Com3());
        _exit(other.Open() == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    port.Close();
    EXPECT_EQ(second.Open(), 1);  // free again once closed
}

TEST_F(SerialPty, LineSettingsReachTheDevice) {
    ASSERT_EQ(port.Configure(Com3(115200, 2, 0)), 1);
    ASSERT_EQ(port.Open(), 1);
    termios t{};
    const int fd = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(tcgetattr(fd, &t), 0);
    EXPECT_EQ(cfgetospeed(&t), B115200);
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_TRUE(t.c_cflag & CRTSCTS);
    EXPECT_FALSE(t.c_iflag & IXON);
    port.Close();

    ASSERT_EQ(port.Configure(Com3(9600, 0, 1)), 1);
    ASSERT_EQ(port.Open(), 1);
    ASSERT_EQ(tcgetattr(fd, &t), 0);
    EXPECT_EQ(cfgetospeed(&t), B9600);
    EXPECT_FALSE(t.c_cflag & CSTOPB);
    EXPECT_FALSE(t.c_cflag & CRTSCTS);
    EXPECT_TRUE(t.c_iflag & IXON);
    EXPECT_TRUE(t.c_iflag & IXOFF);
    close(fd);
}

TEST_F(SerialPty, RefusedSettingsFailTheOpenAndReleaseTheDevice) {
    ASSERT_EQ(port.Configure(Com3(19200, 1)), 1);  // 1.5 stop bits with 8 data bits
    EXPECT_EQ(port.Open(), 0);
    EXPECT_EQ(port.Open(), 0);
    PrinterPort other;
    ASSERT_EQ(other.Configure(Com3()), 1);
    EXPECT_EQ(other.Open(), 1);  // nothing was left held
}

TEST_F(SerialPty, MissingDeviceFailsTheOpen) {
    setenv("TALQ_COM3", "/nonexistent/talq-port", 1);
    ASSERT_EQ(port.Configure(Com3()), 1);
    EXPECT_EQ(port.Open(), 0);
}

TEST_F(SerialPty, HangUpIsNoTimeOut) {
    ASSERT_EQ(port.Configure(Com3()), 1);
    ASSERT_EQ(port.Open(), 1);
    pty.CloseMaster();
    std::uint8_t buffer[4];
    const auto start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 4, 1000), 0);
    EXPECT_LT(ElapsedMs(start), 60);
}

}  // namespace
}  // namespace talq::link
