#include "platform/posix/termios_settings.h"

#include <gtest/gtest.h>
#include <sys/ioctl.h>

namespace talq::platform::posix {
namespace {

TEST(TermiosSettings, HardwareFlowNoParity) {
    const auto c = ConfigureSerial(termios{}, {19200, 8, 0, 0, 0});
    ASSERT_TRUE(c);
    const termios& t = c->attributes;
    EXPECT_EQ(cfgetospeed(&t), B19200);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(t.c_cflag & PARENB);
    EXPECT_FALSE(t.c_cflag & CSTOPB);
    EXPECT_TRUE(t.c_cflag & CRTSCTS);
    EXPECT_FALSE(t.c_iflag & (IXON | IXOFF));
    EXPECT_EQ(c->modemLinesOn, TIOCM_DTR);
    EXPECT_EQ(c->modemLinesOff, TIOCM_RTS);
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO));  // raw
}

TEST(TermiosSettings, XonXoffEvenParitySevenBitsTwoStops) {
    const auto c = ConfigureSerial(termios{}, {115200, 7, 2, 2, 1});
    ASSERT_TRUE(c);
    const termios& t = c->attributes;
    EXPECT_EQ(cfgetospeed(&t), B115200);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS7));
    EXPECT_TRUE(t.c_cflag & PARENB);
    EXPECT_FALSE(t.c_cflag & PARODD);
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_FALSE(t.c_cflag & CRTSCTS);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
    EXPECT_EQ(c->modemLinesOn, TIOCM_DTR | TIOCM_RTS);
    EXPECT_EQ(c->modemLinesOff, 0);

    const auto odd = ConfigureSerial(termios{}, {9600, 8, 0, 1, 5});
    ASSERT_TRUE(odd);
    EXPECT_TRUE(odd->attributes.c_cflag & PARODD);
    EXPECT_TRUE(odd->attributes.c_iflag & IXON);  // any non-zero flow code is XON/XOFF
}

TEST(TermiosSettings, SettingsTheDeviceCannotTakeAreRefused) {
    EXPECT_FALSE(ConfigureSerial(termios{}, {12345, 8, 0, 0, 0}));  // unknown speed
    EXPECT_FALSE(ConfigureSerial(termios{}, {9600, 6, 0, 0, 0}));
    EXPECT_FALSE(ConfigureSerial(termios{}, {9600, 7, 1, 0, 0}));   // 1.5 stop bits
    EXPECT_FALSE(ConfigureSerial(termios{}, {9600, 8, 0, 3, 0}));
}

}  // namespace
}  // namespace talq::platform::posix
