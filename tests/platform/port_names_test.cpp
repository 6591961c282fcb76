#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/platform.h"

namespace talq::platform {
namespace {

// The default mapping is computed only, never opened: /dev/ttyS0 is a console here.
TEST(PortNames, MapToDeviceNodesAndHonourOverrides) {
    unsetenv("TALQ_COM1");
    unsetenv("TALQ_COM10");
    unsetenv("TALQ_LPT2");
    EXPECT_EQ(DevicePathForPort("COM1"), "/dev/ttyS0");
    EXPECT_EQ(DevicePathForPort("COM10"), "/dev/ttyS9");
    EXPECT_EQ(DevicePathForPort("LPT2"), "/dev/lp1");

    setenv("TALQ_COM10", "/tmp/some-pty", 1);
    setenv("TALQ_LPT2", "/tmp/lp-pty", 1);
    EXPECT_EQ(DevicePathForPort("COM10"), "/tmp/some-pty");
    EXPECT_EQ(DevicePathForPort("LPT2"), "/tmp/lp-pty");
    EXPECT_EQ(DevicePathForPort("COM1"), "/dev/ttyS0");  // an override is per port
    unsetenv("TALQ_COM10");
    unsetenv("TALQ_LPT2");
}

TEST(PortNames, MalformedPortNamesMapToNothingAndPathsPassThrough) {
    EXPECT_EQ(DevicePathForPort("COM"), "");
    EXPECT_EQ(DevicePathForPort("COM0"), "");
    EXPECT_EQ(DevicePathForPort("COMx"), "");
    EXPECT_EQ(DevicePathForPort("COM1 "), "");
    EXPECT_EQ(DevicePathForPort("/dev/usb/lp0"), "/dev/usb/lp0");
}

}  // namespace
}  // namespace talq::platform
