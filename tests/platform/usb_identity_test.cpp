// USB identity names: what they accept, what they match, the shortest name that tells a device
// apart, and the ids Windows writes into instance ids and friendly names.
#include "platform/usb_identity.h"

#include <gtest/gtest.h>

#include "platform/ports_file.h"

namespace talq::platform {
namespace {

TEST(UsbIdentityNames, NamesAreReadWhole) {
    std::string problem;
    const auto name = ParseUsbIdentityName("usb:vid=0403,pid=6001,serial=A10K1ABC,if=1", problem);
    ASSERT_TRUE(name) << problem;
    EXPECT_EQ(*name->serialNumber, "A10K1ABC");
    EXPECT_EQ(*name->vendorId, 0x0403);
    EXPECT_EQ(*name->productId, 0x6001);
    EXPECT_EQ(*name->interfaceNumber, 1);
    EXPECT_FALSE(name->busPath);
    EXPECT_EQ(*ParseUsbIdentityName("usb:path=1-1.3", problem)->busPath, "1-1.3");

    for (const auto& [text, why] : std::vector<std::pair<std::string, std::string>>{
             {"usb:", "nothing after usb:"},
             {"usb:serial=", "serial has no value"},
             {"usb:serial=A B", "a space in it"},
             {"usb:serial=A,", "a ',' ends it"},
             {"usb:serial=A,serial=B", "serial is given twice"},
             {"usb:vid=403", "vid takes four hex digits"},
             {"usb:pid=60g1", "pid takes four hex digits"},
             {"usb:if=x", "if takes the interface number"},
             {"usb:colour=red", "unknown key \"colour\""},
             {"usb:A10K1ABC", "is no KEY=VALUE"},
         }) {
        EXPECT_FALSE(ParseUsbIdentityName(text, problem)) << text;
        EXPECT_NE(problem.find(why), std::string::npos) << text << ": " << problem;
        EXPECT_TRUE(problem.starts_with("\"" + text + "\": ")) << problem;
    }
    // On the right of a mapping a well formed name is a device; a bad one is reported.
    const PortsFileContents file =
        ParsePortsFile("COM3 = usb:serial=A1B2C3  # till 2\nLPT1=usb:path=1-1.4\nCOM4=usb:x\n");
    ASSERT_EQ(file.mappings.size(), 2u);
    EXPECT_EQ(file.mappings[0].device, "usb:serial=A1B2C3");
    ASSERT_EQ(file.problems.size(), 1u);
    EXPECT_EQ(file.problems[0].line, 3);
    EXPECT_NE(file.problems[0].text.find("is no KEY=VALUE"), std::string::npos);
}

UsbPortNode Node(std::string node, std::string serial, std::string path, int line = -1,
                 std::uint16_t product = 0x0006) {
    return {std::move(node), line >= 0, {0x7c1a, product, serial, path, line}};
}

TEST(UsbIdentityNames, EachDeviceGetsTheShortestNameThatTellsItApart) {
    const std::vector<UsbPortNode> present{
        Node("/dev/usb/lp0", "A1", "1-1.1"),
        Node("/dev/usb/lp1", "B2", "1-1.2"),
        // Two clones sharing a serial number: told apart by where they are plugged in.
        Node("/dev/usb/lp2", "0001", "1-1.3"),
        Node("/dev/usb/lp3", "0001", "1-1.4"),
        // No serial number at all.
        Node("/dev/usb/lp4", "", "2-1"),
        // One adapter with two lines.
        Node("/dev/ttyUSB0", "FT4", "1-2", 0, 0x6010),
        Node("/dev/ttyUSB1", "FT4", "1-2", 1, 0x6010),
        // Nothing to name it by: no serial number a name can carry, no path, ids shared.
        Node("/dev/usb/lp5", "has space", ""),
        // No serial number and no path, but ids of its own.
        Node("/dev/usb/lp6", "", "", -1, 0x0004),
    };
    const std::vector<std::string> names{
        "usb:serial=A1",       "usb:serial=B2",       "usb:path=1-1.3",
        "usb:path=1-1.4",      "usb:path=2-1",        "usb:serial=FT4,if=0",
        "usb:serial=FT4,if=1", "",                    "usb:vid=7c1a,pid=0004"};
    for (std::size_t i = 0; i < present.size(); ++i) {
        EXPECT_EQ(IdentityNameOf(present[i], present), names[i]) << present[i].node;
        if (names[i].empty()) continue;
        // Each name matches its device alone; serial numbers without regard to case.
        std::string problem, lower = names[i];
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const auto name = ParseUsbIdentityName(lower.substr(0, 4) + names[i].substr(4), problem);
        ASSERT_TRUE(name) << problem;
        for (std::size_t j = 0; j < present.size(); ++j) {
            EXPECT_EQ(Matches(*name, present[j].identity), i == j) << names[i] << " " << j;
        }
    }
    std::string problem;
    EXPECT_TRUE(Matches(*ParseUsbIdentityName("usb:serial=a1", problem), present[0].identity));
    EXPECT_FALSE(
        Matches(*ParseUsbIdentityName("usb:serial=A1,pid=0004", problem), present[0].identity));
    EXPECT_EQ(UsbIdsText(present[5].identity), "7c1a:6010");
}

TEST(UsbIdentityNames, WindowsIdsGiveTheDeviceTheyName) {
    struct Case {
        const char* id;
        bool usb;
        std::uint16_t vendor, product;
        const char* serial;
        int interfaceNumber;
    };
    for (const Case& c : std::vector<Case>{
             {"USB\\VID_0403&PID_6001\\A10K1ABC", true, 0x0403, 0x6001, "A10K1ABC", -1},
             // The system made the instance part up: no serial number.
             {"USB\\VID_067B&PID_2303\\5&1A2B3C4D&0&3", true, 0x067b, 0x2303, "", -1},
             // An interface of a composite device: the serial number is its parent's.
             {"USB\\VID_2341&PID_8036&MI_00\\6&2F3A&0&0000", true, 0x2341, 0x8036, "", 0},
             // FTDI's bus: the serial number with the port's letter after it.
             {"FTDIBUS\\VID_0403+PID_6010+FT4XYZB\\0000", true, 0x0403, 0x6010, "FT4XYZ", 1},
             // An interface path: lower case, '#' for '\', the class at the end.
             {"\\\\?\\usb#vid_7c1a&pid_0006#a1b2c3#{a5dcbf10-6530-11d2-901f-00c04fb951ed}", true,
              0x7c1a, 0x0006, "a1b2c3", -1},
             {"ACPI\\PNP0501\\1", false, 0, 0, "", -1},
             {"USB\\ROOT_HUB30\\4&1B2C&0&0", false, 0, 0, "", -1},
         }) {
        const auto identity = UsbIdentityOfInstanceId(c.id);
        ASSERT_EQ(identity.has_value(), c.usb) << c.id;
        if (!identity) continue;
        EXPECT_EQ(identity->vendorId, c.vendor) << c.id;
        EXPECT_EQ(identity->productId, c.product) << c.id;
        EXPECT_EQ(identity->serialNumber, c.serial) << c.id;
        EXPECT_EQ(identity->interfaceNumber, c.interfaceNumber) << c.id;
    }
    EXPECT_EQ(PortNameInFriendlyName("USB Serial Port (COM12)"), "COM12");
    EXPECT_EQ(PortNameInFriendlyName("Communications Port (COM1)"), "COM1");
    EXPECT_EQ(PortNameInFriendlyName("ECP Printer Port (LPT1)"), "LPT1");
    EXPECT_EQ(PortNameInFriendlyName("USB Serial Port"), "");
    EXPECT_EQ(PortNameInFriendlyName("Modem (COMx)"), "");
}

}  // namespace
}  // namespace talq::platform
