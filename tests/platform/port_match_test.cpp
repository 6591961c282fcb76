// A queue's port must name the checked device as a whole: a prefix of another
// device's name is a different printer.
#include "platform/port_match.h"

#include <gtest/gtest.h>

namespace talq::platform {
namespace {

struct Case {
    const char* text;
    const char* device;
    bool names;
};

TEST(PortMatch, DeviceUrisNameTheWholePath) {
    const Case cases[] = {
        {"serial:/dev/ttyS1", "/dev/ttyS1", true},
        {"serial:/dev/ttyS1?baud=19200", "/dev/ttyS1", true},
        {"parallel:/dev/lp0#frag", "/dev/lp0", true},
        {"file:///dev/lp0", "/dev/lp0", true},
        {"x:/dev/ttyS1:opts", "/dev/ttyS1", true},
        {"serial:/dev/ttyS10?baud=19200", "/dev/ttyS1", false},
        {"serial:/dev/ttyUSB10", "/dev/ttyUSB1", false},
        {"serial:/dev/ttyS1.lock", "/dev/ttyS1", false},
        {"serial:/dev/ttyS1/x", "/dev/ttyS1", false},
        {"file:/tmp/dev/ttyS1", "/dev/ttyS1", false},
        {"serial:/dev/ttys1", "/dev/ttyS1", false},  // case-sensitive
        // A later whole occurrence counts even after a longer one.
        {"x:/dev/ttyS10,/dev/ttyS1", "/dev/ttyS1", true},
        {"serial:/dev/ttyS1", "", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UriNamesDevice(c.text, c.device), c.names) << c.text << " / " << c.device;
    }
}

TEST(PortMatch, PortListsNameWholeElements) {
    const Case cases[] = {
        {"COM1:", "COM1", true},       {"COM1", "COM1", true},
        {"LPT1:,COM1:", "COM1", true}, {"LPT1:, COM1: ", "COM1", true},
        {"COM10:", "COM1", false},     {"COM10:,COM11:", "COM1", false},
        {"XCOM1:", "COM1", false},     {"com1:", "COM1", false},
        {"FILE:", "COM1", false},      {"", "COM1", false},
        {"COM1:", "", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PortListNamesPort(c.text, c.device), c.names) << c.text << " / " << c.device;
    }
}

}  // namespace
}  // namespace talq::platform
