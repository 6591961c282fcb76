// Printers and serial adapters by USB identity, through talq, over real libudev: two printers
// of one model told apart by their serial numbers, and a serial adapter reached by its serial
// number from --port and from the ports file.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/app.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "usb/printer_on_node.h"
#include "usb/usb_testbed.h"

namespace talq::usbtest {
namespace {

struct Talq {
    int code;
    std::string out, err;
};

Talq RunTalq(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = cli::Run(args, out, err);
    return {code, out.str(), err.str()};
}

// No print queue of the machine is touched, and the journal of moved queues is the test's.
struct UsbByIdentity : ::testing::Test {
    test::TempDir home{"talq-identity"};
    test::ScopedEnv env{"CUPS_SERVER", (home.path() / "no-cups.sock").string()};
    void SetUp() override {
        env.Set("XDG_STATE_HOME", (home.path() / "state").string());
        env.Set("XDG_CONFIG_HOME", (home.path() / "config").string());
        for (const char* port : {"TALQ_COM3", "TALQ_COM4"}) env.Unset(port);
    }
};

TEST_F(UsbByIdentity, TwoPrintersOfOneModelAreToldApartBySerialNumber) {
    UsbTestbed bed;
    bed.AddUsbDevice("1.1", 0x7c1a, 0x0006, 0, "KTV0001A");
    bed.AddUsbDevice("1.2", 0x7c1a, 0x0006, 1, "KTV0002B");
    PrinterOnNode first(0, bed.PrinterFd("/dev/usb/lp0"));
    PrinterOnNode second(0, bed.PrinterFd("/dev/usb/lp1"),
                         [](sim::SimulatedPrinter& printer) { printer.SetPin(10, 5, true); });

    const auto ports = nlohmann::json::parse(RunTalq({"ports", "--json", "-q"}).out);
    std::vector<std::pair<std::string, std::string>> usb;
    for (const auto& entry : ports) {
        if (entry["interface"] == "usb") usb.emplace_back(entry["name"], entry["identity"]);
    }
    EXPECT_EQ(usb, (std::vector<std::pair<std::string, std::string>>{
                       {"520plus:/dev/usb/lp0", "usb:serial=KTV0001A"},
                       {"520plus:/dev/usb/lp1", "usb:serial=KTV0002B"}}));
    EXPECT_EQ(ports[13]["usb"]["serialNumber"], "KTV0001A");
    EXPECT_EQ(ports[13]["usb"]["path"], "1-1.1");

    // Each printer by its serial number (in any case), both at once: the second's paper width
    // tells them apart.
    const auto got = RunTalq({"get", "--model", "0", "--port", "usb:serial=ktv0002b", "--port",
                              "usb:serial=KTV0001A", "--json", "-q"});
    ASSERT_EQ(got.code, 0) << got.err;
    const auto documents = nlohmann::json::parse(got.out);
    ASSERT_EQ(documents.size(), 2u);
    EXPECT_EQ(documents[0]["port"], "usb:serial=ktv0002b");
    EXPECT_EQ(documents[0]["switches"]["10"][5], 1);
    EXPECT_EQ(documents[1]["port"], "usb:serial=KTV0001A");
    EXPECT_EQ(documents[1]["switches"]["10"][5], 0);

    // A name that fits none, or both, lists what is there.
    const auto none = RunTalq({"check", "--model", "0", "--port", "usb:serial=KTV0003C"});
    EXPECT_EQ(none.code, 3);
    EXPECT_EQ(none.err,
              "talq: usb:serial=KTV0003C matches no USB printer or serial adapter; present: "
              "usb:serial=KTV0001A (7c1a:0006, /dev/usb/lp0), usb:serial=KTV0002B (7c1a:0006, "
              "/dev/usb/lp1)\n");
    const auto both = RunTalq({"check", "--model", "0", "--port", "usb:vid=7c1a"});
    EXPECT_EQ(both.code, 3);
    EXPECT_NE(both.err.find("usb:vid=7c1a matches 2 USB printers or serial adapters: "
                            "usb:serial=KTV0001A (7c1a:0006, /dev/usb/lp0), usb:serial=KTV0002B"),
              std::string::npos)
        << both.err;
}

TEST_F(UsbByIdentity, ASerialAdapterIsReachedByItsSerialNumber) {
    UsbTestbed bed;
    const std::string byId = "usb-FTDI_FT232R_USB_UART_A10K1ABC-if00-port0";
    bed.AddSerialAdapter("1.4", 0x0403, 0x6001, "A10K1ABC", "ttyUSB0", 0, byId);
    PrinterOnNode printer(0, bed.PrinterFd("/dev/ttyUSB0"));

    ASSERT_EQ(RunTalq({"map", "COM3", "usb:serial=A10K1ABC"}).code, 0);
    EXPECT_EQ(RunTalq({"map", "--list"}).out, "/dev/serial/by-id/" + byId +
                                                  "  /dev/ttyUSB0  usb:serial=A10K1ABC  "
                                                  "0403:6001  COM3\n");
    const auto ports = nlohmann::json::parse(RunTalq({"ports", "--json", "-q"}).out);
    EXPECT_EQ(ports[2]["device"], "/dev/ttyUSB0");
    EXPECT_EQ(ports[2]["identity"], "usb:serial=A10K1ABC");
    EXPECT_EQ(ports[2]["usb"]["interface"], 0);

    // Through the mapping, and by its own name.
    for (const char* port : {"COM3", "usb:serial=A10K1ABC"}) {
        const auto check = RunTalq({"check", "--model", "0", "--port", port, "-q"});
        EXPECT_EQ(check.code, 0) << port << ": " << check.err;
    }
    // Unplugged: the mapping stays, and says what it waits for.
    const auto gone = RunTalq({"map", "COM4", "usb:serial=Z9"});
    EXPECT_EQ(gone.code, 0);
    EXPECT_NE(gone.err.find("usb:serial=Z9 matches no serial adapter; present: "
                            "usb:serial=A10K1ABC (0403:6001, /dev/ttyUSB0); the mapping is kept"),
              std::string::npos)
        << gone.err;
    const auto absent = RunTalq({"check", "--model", "0", "--port", "COM4"});
    EXPECT_EQ(absent.code, 3);
    EXPECT_NE(absent.err.find("COM4 cannot be opened: usb:serial=Z9 matches no serial adapter"),
              std::string::npos)
        << absent.err;
}

}  // namespace
}  // namespace talq::usbtest
